#pragma once
// How the loading stages make textures, skins and joined pictures from the data files.
// Kept apart so that the loading steps stay a list of names and paths.
#include <string>
#include <vector>

class Skin;
class Texture;

// The texture of image file `path` with the skins of its skin table, loaded with the
// texture load flags `flags`. A missing file is fatal.
Texture* loadTextureFile(int flags, const std::u16string& path);
// The texture's skins in order: those of its skin table, then any joined pictures.
std::vector<Skin*> textureSkins(Texture* texture);
// A picture of columns x rows cells (row by row, top row first) drawn as one skin with
// its anchor at keypad code `anchor` (none when negative); appended to `owner`'s skins,
// which own it. Every cell must be a plain quad.
Skin* joinSkins(Texture* owner, int columns, int rows, const std::vector<Skin*>& cells, int anchor);
