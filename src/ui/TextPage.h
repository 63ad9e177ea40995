#pragma once
// A screen of text lines that rise slowly from the bottom edge to the top, fading in over
// the bottom 100 units and out over the top 50, as the credits do. The filler adds a
// title and lines of one or two columns, one below the other, starting at the bottom
// edge; each line is a FadingText under one content node. Lines are deleted once they
// have risen out of sight. The page never finishes by itself: its opener closes it.
//
// World units (one per virtual pixel), origin in the middle of the screen, y up.
#include <string>

#include "engine/Vector3.h"
#include "render/Context.h"
#include "render/UColor.h"

class FadingText;

class TextPage : public Context {
public:
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    TextPage();

    // A large white line centred at the cursor; the cursor moves down by 1.15 lines.
    void addTitle(const std::u16string& text);
    // One white line (see addLine); the cursor moves down by 1.15 medium lines.
    void addParagraph(const std::u16string& left, const std::u16string& right);
    // A medium line at cursor + offset: blank when both texts are empty, `left` centred
    // when `right` is empty, else two columns meeting near x = 0 (swapped in a
    // right-to-left language). The cursor does not move.
    FadingText* addLine(float offset, UColor colour, const std::u16string& left, const std::u16string& right);

    void tickContents(double time, double dt) override;

    // The alpha (0..255) of a line at height y in a view from bottom to top.
    static int alphaAt(float y, float top, float bottom);

    QorBase* content = nullptr;           // owned child holding the line labels
    Vector3 velocity{0.0f, 30.0f, 0.0f};  // units per second
    float cursor = 0.0f;                  // y of the next line

private:
    FadingText* addLabel(float y, const std::u16string& text, int font, int layoutFlags, UColor colour, float x);
};

// Fills `page` with the credits of the game in the current language.
void fillCreditsPage(TextPage* page);
