#pragma once
// A run of text in one colour with its measured width: the leaf of a laid-out text
// (TextBlock > TextLine > TextSpan). Draws nothing; the widget that owns the block
// reads it.
#include <string>

#include "engine/QorBase.h"
#include "render/UColor.h"

class TextFont;

class TextSpan : public QorBase {
public:
    // The default colour: whoever draws the span uses its own colour for it.
    static constexpr UColor kDefaultColour = 1;

    // Measures `text` (markup already removed) with `font` (may be null: width 0).
    TextSpan(const TextFont* font, UColor colour, std::u16string text);

    std::u16string text;
    float width = 0.0f;              // virtual pixels
    UColor colour = kDefaultColour;  // opaque, or kDefaultColour
};
