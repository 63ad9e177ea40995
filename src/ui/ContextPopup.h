#pragma once
// The modal question or message box of the menus: a framed panel in the middle of the
// screen with an optional title, a word-wrapped marked-up text and up to two buttons,
// pushed on the screen stack above the screen that opened it, which stays visible.
//
// The opener assigns the texts, the labels and the answer slot, calls setup(), then
// pushes the popup. The answer slot (owned by the opener, which must outlive the popup
// or clear the slot) gets -1 at setup, then 0 for the first button or 1 for the second;
// Escape, Back or (with fewer than two buttons) the fire key close it leaving -1.
#include <cstdint>
#include <string>

#include "engine/Vector3.h"
#include "ui/ContextMenu.h"

class MenuButton;

class ContextPopup : public ContextMenu {
public:
    ContextPopup();
    ClassInfo* getClass() const override;

    void onActivate(bool first) override;
    void tickContents(double time, double dt) override;
    void renderContents() override;
    // The opener's, when it shows through.
    void addBoxesToKeepClear(std::vector<ViewRect>& boxes) const override;

    // Builds the panel, the labels and the buttons from the fields below.
    void setup();

    Vector3 dialogPosition{0.0f, 0.0f, 0.0f};  // the centre, world units
    std::u16string title;                      // large font; empty: none
    std::u16string text;                       // "|" breaks and colour markup
    std::u16string firstButtonLabel;           // "OK" by default
    std::u16string secondButtonLabel;          // empty: no second button
    std::int32_t* result = nullptr;            // not owned, may be null
    MenuButton* firstButton = nullptr;         // children, null without a label
    MenuButton* secondButton = nullptr;

private:
    MenuButton* addButton(const std::u16string& label, float x, float y);
};
