#pragma once
// Test support: glyph sheets drawn at test time from a free typeface, laid out the way
// the game's sheets are (one cell per code-page position from 0, white glyphs whose
// alpha is the ink), so that font tests do not depend on the game's data.
#include <string>

class FontQuad;
class ImageTexture;

// A sheet of the code page 1252 positions [first, first + count), each cell as wide as
// the character's advance (at least 1) and `height` pixels high. Position 0x7F holds a
// dotless i, as the game's sheets do. Registered in the resource registry as `name`.
ImageTexture* makeGlyphSheet(const std::u16string& name, int height, int first, int count);
