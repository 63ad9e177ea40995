#pragma once
// A text laid out into lines (children, first line first) once, when it is built: "|"
// forces a break, spaces are where lines may wrap to stay within a maximum width, and
// colour markup carries from line to line (TextLine). In a right-to-left language the
// text is broken from its end, so the first line holds the end of the string.
//
// Draws nothing: the widget that owns the block draws the first line at the top, each
// next one lineHeight lower, and within a line the spans one after the other.
#include <string>
#include <string_view>

#include "engine/QorBase.h"

class TextFont;

class TextBlock : public QorBase {
public:
    // font: measures the text (may be null: every width 0). maxWidth: virtual pixels a
    // line may reach. lineHeight: line to line; negative means the font's line height.
    // rightToLeft: -1 asks the language service.
    TextBlock(const TextFont* font, float maxWidth, float lineHeight, std::u16string_view text, int rightToLeft = -1);

    float width = 0.0f;       // the widest line's width
    float height = 0.0f;      // (lines - 1) x lineHeight + the font's line height
    float lineHeight = 0.0f;  // virtual pixels from one line's top to the next

private:
    void wrapLeftToRight(const TextFont* font, float maxWidth, std::u16string text);
    void wrapRightToLeft(const TextFont* font, float maxWidth, std::u16string text);
    void appendLine(const TextFont* font, std::u16string_view line);
    float markedWidth(const TextFont* font, std::u16string_view text) const;

    std::uint32_t carriedColour = 1;
};
