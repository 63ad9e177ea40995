#pragma once
// One line of a laid-out text: its spans (children, left to right in the order of the
// text), their total width and the colour in force after its last colour marker, which
// the next line starts with.
//
// Colour markup: U+001E followed by an 8-character token "{RRGGBB}" (any hexadecimal
// number of at most 8 digits between the braces). The value 1 stands for the default
// colour; any other value keeps its low 24 bits and becomes opaque. A token that does not
// read keeps the current colour and is dropped: the text may come from outside.
#include <string>
#include <string_view>

#include "engine/QorBase.h"
#include "render/UColor.h"

class TextFont;

class TextLine : public QorBase {
public:
    // Splits `text` into spans at its colour markers, starting in `startColour`.
    TextLine(const TextFont* font, UColor startColour, std::u16string_view text);

    // The colour a token sets, or false when it does not read.
    static bool readColourToken(std::u16string_view token, UColor& colour);

    float width = 0.0f;  // virtual pixels, the sum of the spans' widths
    UColor endColour;    // the colour after the line's last marker
};
