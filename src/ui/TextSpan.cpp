#include "ui/TextSpan.h"

#include "ui/TextFont.h"

TextSpan::TextSpan(const TextFont* font, UColor colour_, std::u16string text_)
    : text(std::move(text_)), colour(colour_) {
    if (font) width = font->measureText(text).x;
}
