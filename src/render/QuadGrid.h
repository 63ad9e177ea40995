#pragma once
// A skin made of cols x rows quads drawn side by side as one picture, row 0 at the top,
// centred on the skin's own origin (y up). Serves the tiles of a texture too large for
// one device texture (each of its skins becomes a grid over the tiles), and wide
// pictures put together from several textures' skins.
//
// The cells are not owned: they belong to their textures. Calling order: setSize, fill
// `cells`, layout, then draw as often as wanted; after a change of cells, layout again.
// No class record of its own: it answers Skin's.
#include <vector>

#include "render/Skin.h"

class Quad;

class QuadGrid : public Skin {
public:
    QuadGrid() = default;
    ~QuadGrid() override = default;

    // Sizes the grid; new cells are null, surplus cells are dropped.
    void setSize(int cols, int rows);
    // The picture's size (row 0's widths, column 0's heights) and every cell's four
    // vertices, uploaded. Cells still null are laid out as empty (no area, no texture).
    void layout();
    // Vertex 0 carries the renderable's colour (the tint); each cell draws with its own
    // texture as a 4-vertex strip.
    void draw(Renderable& r) override;

    int cols = 0;
    int rows = 0;
    int count = 0;             // cols x rows
    std::vector<Quad*> cells;  // cell c of row r at c + cols * r; not owned
};
