#include "AtlasBuilder.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

#include "SvgRenderer.h"

namespace artbake {

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error(path + ": cannot open");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Cell {
    Image pixels;
    int originAdjustX = 0;
    int originAdjustY = 0;
    int insetX = 0;  // columns of the neighbour's border on each side, outside the skin
    int insetY = 0;
};

// Crops a cell to the box of its visible pixels, grown to even sides so that the game's
// half-pixel rule for odd sizes never moves it, and returns how far the box's centre sits
// from the cell's centre: that is the origin adjustment that keeps the drawing in place.
Cell trimCell(const Image& full) {
    int left = full.width, top = full.height, right = -1, bottom = -1;
    for (int y = 0; y < full.height; ++y)
        for (int x = 0; x < full.width; ++x)
            if (full.at(x, y)[3] != 0) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    if (right < 0) {
        left = full.width / 2 - 1;
        top = full.height / 2 - 1;
        right = left + 1;
        bottom = top + 1;
    }
    // One transparent pixel around the ink keeps filtering from cutting the edge.
    left = std::max(0, left - 1);
    top = std::max(0, top - 1);
    right = std::min(full.width - 1, right + 1);
    bottom = std::min(full.height - 1, bottom + 1);
    int w = right - left + 1;
    int h = bottom - top + 1;
    if (w % 2 != 0) {
        if (right + 1 < full.width)
            ++right;
        else
            --left;
        ++w;
    }
    if (h % 2 != 0) {
        if (bottom + 1 < full.height)
            ++bottom;
        else
            --top;
        ++h;
    }
    Cell cell;
    cell.pixels = Image(w, h);
    for (int y = 0; y < h; ++y) std::memcpy(cell.pixels.at(0, y), full.at(left, top + y), static_cast<size_t>(w) * 4);
    cell.originAdjustX = (left + w / 2) - full.width / 2;
    cell.originAdjustY = (top + h / 2) - full.height / 2;
    return cell;
}

Variables cellVariables(const Recipe& recipe, const FrameGroup& group, int index) {
    Variables vars;
    vars["i"] = index;
    vars["n"] = group.count;
    vars["t"] = static_cast<double>(index) / group.count;
    vars["u"] = group.count > 1 ? static_cast<double>(index) / (group.count - 1) : 0.0;
    vars["w"] = group.cellWidth;
    vars["h"] = group.cellHeight;
    for (const auto& [name, expression] : recipe.vars) vars[name] = Expression::evaluate(expression, vars);
    for (const auto& [name, expression] : group.vars) vars[name] = Expression::evaluate(expression, vars);
    return vars;
}

// Shelf packing in recipe order: cells go left to right and start a new row when the
// width is used up (or the group asks for one); rows are as tall as their tallest cell.
class ShelfPacker {
public:
    explicit ShelfPacker(int width) : width(width) {}

    std::pair<int, int> place(int w, int h, int gap, bool newRow) {
        if (w > width)
            throw std::runtime_error("a cell of width " + std::to_string(w) + " is wider than the image (" +
                                     std::to_string(width) + ")");
        if ((newRow && x > 0) || x + w > width) {
            y += rowHeight + lastGap;
            x = 0;
            rowHeight = 0;
        }
        std::pair<int, int> at{x, y};
        x += w + gap;
        lastGap = gap;
        rowHeight = std::max(rowHeight, h);
        usedHeight = std::max(usedHeight, y + h);
        return at;
    }
    int height() const { return usedHeight; }

private:
    int width;
    int x = 0, y = 0, rowHeight = 0, lastGap = 0, usedHeight = 0;
};

}  // namespace

BakedTexture AtlasBuilder::build(const Recipe& recipe, const std::string& svgFolder, const Palette& palette) {
    std::map<std::string, std::string> drawings;
    std::vector<Cell> cells;
    std::vector<std::pair<int, int>> places;
    ShelfPacker packer(recipe.width);
    for (const FrameGroup& group : recipe.groups) {
        auto [it, fresh] = drawings.try_emplace(group.svg);
        if (fresh) it->second = readFile(svgFolder + "/" + group.svg);
        for (int i = 0; i < group.count; ++i) {
            Variables vars = cellVariables(recipe, group, i);
            std::string svg = SvgTemplate::expand(it->second, vars, palette);
            Image full = SvgRenderer::render(svg, group.cellWidth, group.cellHeight, group.layer, group.svg);
            Cell cell = group.trim ? trimCell(full) : Cell{std::move(full), 0, 0, 0, 0};
            cell.originAdjustX += static_cast<int>(std::lround(Expression::evaluate(group.originX, vars)));
            cell.originAdjustY += static_cast<int>(std::lround(Expression::evaluate(group.originY, vars)));
            cell.insetX = group.insetX;
            cell.insetY = group.insetY;
            places.push_back(packer.place(cell.pixels.width, cell.pixels.height, group.gap, group.newRow && i == 0));
            cells.push_back(std::move(cell));
        }
    }

    BakedTexture texture;
    texture.archive = recipe.archive;
    texture.path = recipe.path;
    texture.name = recipe.name;
    texture.meaning = recipe.meaning;
    int height = recipe.height > 0 ? recipe.height : packer.height();
    if (recipe.width > recipe.limitWidth || height > recipe.limitHeight || packer.height() > height)
        throw std::runtime_error(recipe.file + ": image " + std::to_string(recipe.width) + "x" +
                                 std::to_string(packer.height()) + " exceeds its limit " +
                                 std::to_string(recipe.limitWidth) + "x" + std::to_string(recipe.limitHeight));
    texture.image = Image(recipe.width, height);
    for (size_t k = 0; k < cells.size(); ++k) {
        const Cell& cell = cells[k];
        auto [x, y] = places[k];
        for (int row = 0; row < cell.pixels.height; ++row)
            std::memcpy(texture.image.at(x, y + row), cell.pixels.at(0, row),
                        static_cast<size_t>(cell.pixels.width) * 4);
        texture.skins.push_back({x + cell.insetX, y + cell.insetY, cell.pixels.width - 2 * cell.insetX,
                                 cell.pixels.height - 2 * cell.insetY, cell.originAdjustX, cell.originAdjustY});
    }
    bleedEdges(texture.image, 3);
    return texture;
}

void AtlasBuilder::bleedEdges(Image& image, int passes) {
    for (int pass = 0; pass < passes; ++pass) {
        Image next = image;
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                if (image.at(x, y)[3] != 0) continue;
                int sum[3] = {0, 0, 0};
                int count = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        int nx = x + dx, ny = y + dy;
                        if (nx < 0 || ny < 0 || nx >= image.width || ny >= image.height) continue;
                        const uint8_t* p = image.at(nx, ny);
                        // Visible pixels, and pixels already coloured by an earlier pass.
                        if (p[3] == 0 && (p[0] | p[1] | p[2]) == 0) continue;
                        for (int c = 0; c < 3; ++c) sum[c] += p[c];
                        ++count;
                    }
                if (count == 0) continue;
                uint8_t* out = next.at(x, y);
                for (int c = 0; c < 3; ++c) out[c] = static_cast<uint8_t>(std::max(1, sum[c] / count));
            }
        }
        image = std::move(next);
    }
}

}  // namespace artbake
