#pragma once
// Renders the glyph sheets of one bitmap font from a free typeface through FreeType.
//
// Each table position of the code page becomes one cell, in position order, packed row by
// row into sheets: the cell is as wide as the character's advance (plus the outline) and
// as tall as the line, with the capitals' top `capLine` rows below the cell top, so the
// game's accent placement lines up. Glyphs are white (tinted by the game) with an optional
// dark outline and a light vertical shade; the parts of the marks the recipe lists under
// "apart" are moved apart until their outlines leave a channel between them. Special cells: the check mark (position 1)
// and the six arrows (3 up, 4 down, 5 small left, 6 small right, 7 left, 8 right) are drawn here; position 0x7F holds
// the dotless i the composite characters are built on; the spacing accents are cut to their ink so that the game can
// stack them over letters; other control positions and the space are tiny empty cells.

#include <vector>

#include "BakedTexture.h"
#include "FontLines.h"
#include "FontRecipe.h"

namespace artbake {

class GlyphSheetBuilder {
public:
    // Throws std::runtime_error when a typeface is missing or a sheet cannot hold a cell.
    // `lines`, when given, receives the line metrics measured on the finished cells.
    static std::vector<BakedTexture> build(const FontRecipe& recipe, FontLines* lines = nullptr);
};

}  // namespace artbake
