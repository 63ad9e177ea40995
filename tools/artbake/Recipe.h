#pragma once
// A texture recipe: which drawings make the skins of one texture file, in what order, and
// where the file goes. Recipes are small line-based text files in data/gfx/recipes:
//
//   texture  xmas-edition/gfx/island.tga    # path inside the archive, exact letter case
//   archive  Torvane2Xmas.dat               # archive folder (default Torvane2Xmas.dat)
//   name     island                         # name the loader registers
//   meaning  The players' island, ...       # free text for the README and contact sheet
//   width    256                            # image width the skins are packed into
//   height   192                            # optional fixed image height
//   limit    256x256                        # largest image allowed (default 256x256)
//   svg      island.svg                     # default drawing of the groups
//   set      bank=3                         # a variable for every drawing of this texture
//   group    count=2 cell=256x96 part=i     # skins: count cells of cell size, one drawing each
//
// Group keys: count, cell=WxH, svg, layer (render one element id), gap (pixels between
// cells, default 2), trim=1 (crop each cell to its ink and keep its place through the
// origin adjustment), ox/oy (extra origin adjustment, expressions), newrow=1,
// inset=X,Y (the skin leaves out X columns on each side and Y rows at top and bottom: a
// border of the neighbouring tile's pixels, so filtered edges of tiles that the game
// joins blend into their neighbours instead of into transparency); any other
// key=expr becomes a drawing variable, evaluated per cell with i (cell index), n (count),
// t = i/n and u = i/(n-1) known. Throws std::runtime_error with file and line on errors.

#include <string>
#include <utility>
#include <vector>

namespace artbake {

struct FrameGroup {
    int count = 1;
    int cellWidth = 0;
    int cellHeight = 0;
    std::string svg;    // drawing file, relative to data/gfx/svg
    std::string layer;  // element id, empty = whole drawing
    int gap = 2;
    bool trim = false;
    bool newRow = false;
    int insetX = 0;  // pixels left out on each side
    int insetY = 0;
    std::string originX = "0";  // expressions, image pixels
    std::string originY = "0";
    std::vector<std::pair<std::string, std::string>> vars;  // name, expression, in order
};

struct Recipe {
    std::string file;  // the recipe's own path, for messages
    std::string archive = "Torvane2Xmas.dat";
    std::string path;
    std::string name;
    std::string meaning;
    int width = 256;
    int height = 0;  // 0 = as the packing needs
    int limitWidth = 256;
    int limitHeight = 256;
    std::vector<std::pair<std::string, std::string>> vars;
    std::vector<FrameGroup> groups;

    static Recipe load(const std::string& file);
    int skinCount() const;
};

}  // namespace artbake
