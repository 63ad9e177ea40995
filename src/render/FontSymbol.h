#pragma once
// What a bitmap font knows of one 16-bit code point: its glyph (a skin of a glyph
// sheet, not owned), an accent drawn over it for a composite letter, and spacing.
// All zero until set. Units are the font's raw pixels, y up.
#include <cstdint>

class Quad;

struct FontSymbol {
    Quad* pBaseQuad = nullptr;    // null: no glyph
    Quad* pAccentQuad = nullptr;  // composite letters only
    std::int32_t spacing = 0;     // added to the glyph's width to give its advance
    std::int32_t accentX = 0;     // the accent's offset from the character's origin
    std::int32_t accentY = 0;
};
