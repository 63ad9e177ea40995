#include "ui/MenuFonts.h"

std::array<TextFont*, MenuFonts::kCount> MenuFonts::fonts{};

TextFont* MenuFonts::get(int index) { return index >= 0 && index < kCount ? fonts[index] : nullptr; }

void MenuFonts::set(int index, TextFont* font) {
    if (index >= 0 && index < kCount) fonts[index] = font;
}

void MenuFonts::clear() { fonts.fill(nullptr); }
