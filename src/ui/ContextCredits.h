#pragma once
// The credits page, opened from the title menu: the credits rise over the menu
// background, the build's version line stands in the bottom-right corner, and the page
// closes after a minute on its own clock, or on Escape or either player's fire key. It
// has no items. Built whole by its constructor, so it can also be made through the class
// registry ("ContextCredits"); the caller pushes it, and the stack deletes it when closed.
#include "ui/ContextDialog.h"

class TextPage;

class ContextCredits : public ContextDialog {
public:
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    static constexpr double kShowTime = 60.0;  // s

    ContextCredits();

    TextPage* pTextPage = nullptr;  // child of the page

private:
    void openCreditsPage();
};
