#include "ui/TextLine.h"

#include "engine/TextScan.h"
#include "ui/TextFont.h"
#include "ui/TextSpan.h"

TextLine::TextLine(const TextFont* font, UColor startColour, std::u16string_view text) : endColour(startColour) {
    UColor current = startColour;
    // An empty line still has one (empty) span; a line of markup alone has none.
    if (text.empty()) addChild(new TextSpan(font, current, std::u16string()));
    while (!text.empty()) {
        const std::size_t marker = text.find(TextFont::kColourMarker);
        const std::u16string_view segment = text.substr(0, marker);
        if (!segment.empty()) {
            auto* span = new TextSpan(font, current, std::u16string(segment));
            width += span->width;
            addChild(span);
        }
        if (marker == std::u16string_view::npos) break;
        const std::u16string_view token = text.substr(marker + 1, TextFont::kColourTokenLength);
        readColourToken(token, current);  // an unreadable token leaves the colour as it was
        text.remove_prefix(marker + 1 + token.size());
    }
    endColour = current;
}

bool TextLine::readColourToken(std::u16string_view token, UColor& colour) {
    // "{" then up to eight hexadecimal digits; what follows them is not checked.
    if (token.empty() || token[0] != u'{') return false;
    std::uint32_t value = 0;
    std::size_t digits = 0;
    for (std::size_t i = 1; i < token.size() && digits < 8; ++i, ++digits) {
        const int d = hexDigitValue(token[i]);
        if (d < 0) break;
        value = value << 4 | static_cast<std::uint32_t>(d);
    }
    if (digits == 0) return false;
    colour = value == 1 ? UColor{1} : UColor{0xFF000000u | (value & 0x00FFFFFFu)};
    return true;
}
