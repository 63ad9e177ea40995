#include "GlyphSheetBuilder.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "CodePage1252.h"

namespace artbake {

namespace {

constexpr uint8_t kOutline[3] = {0x16, 0x1f, 0x3a};  // the palette's ink navy

// Coverage of one cell, 0..255, rows from the top.
struct Mask {
    int width = 0, height = 0;
    std::vector<uint8_t> a;
    std::vector<int> part;  // for a mark of separate parts: each inked texel's part, else empty
    Mask(int w, int h) : width(w), height(h), a(static_cast<size_t>(w) * h, 0) {}
    uint8_t& at(int x, int y) { return a[static_cast<size_t>(y) * width + x]; }
    uint8_t at(int x, int y) const { return a[static_cast<size_t>(y) * width + x]; }
};

// The separate parts of a glyph (a colon's two dots, the bar and the dot of "!"): each
// blob of solid ink with the fainter texels nearest to it, as (x, y, coverage).
struct Texel {
    int x = 0, y = 0;
    uint8_t a = 0;
};
using Part = std::vector<Texel>;

constexpr uint8_t kSolid = 128;   // coverage that holds a part together
constexpr uint8_t kFaint = 32;    // coverage whose ring is too faint to join two parts
constexpr int kChannelWidth = 2;  // clear texels kept between the rings of two parts
constexpr int kThinnestRing = 2;  // texels of ring a part keeps where it faces another

std::vector<Part> splitParts(const Mask& mask) {
    const int w = mask.width, h = mask.height;
    std::vector<int> label(mask.a.size(), -1);
    std::vector<int> queue;
    int parts = 0;
    auto grow = [&](int i, bool solidOnly) {
        const int x = i % w, y = i / w;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const int nx = x + dx, ny = y + dy;
                if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
                const int n = ny * w + nx;
                if (label[n] >= 0 || (solidOnly && mask.a[n] < kSolid)) continue;
                label[n] = label[i];
                queue.push_back(n);
            }
    };
    for (int i = 0; i < w * h; ++i) {
        if (mask.a[i] < kSolid || label[i] >= 0) continue;
        label[i] = parts++;
        const size_t first = queue.size();
        queue.push_back(i);
        for (size_t k = first; k < queue.size(); ++k) grow(queue[k], true);
    }
    // Every other texel goes with the solid ink nearest to it, breadth first.
    for (size_t k = 0; k < queue.size(); ++k) grow(queue[k], false);
    std::vector<Part> out(static_cast<size_t>(parts));
    for (int i = 0; i < w * h; ++i)
        if (mask.a[i] > 0 && label[i] >= 0) out[static_cast<size_t>(label[i])].push_back({i % w, i / w, mask.a[i]});
    return out;
}

// Which offsets between two inked texels bring their rings (every texel within
// sqrt(r * r + r) of the ink, as colourCell draws them) closer than the channel.
class RingReach {
public:
    explicit RingReach(int ring)
        : span(2 * ring + kChannelWidth),
          size(2 * span + 1),
          near(static_cast<size_t>(size) * static_cast<size_t>(size), false) {
        std::vector<std::pair<int, int>> disc;
        for (int dy = -ring; dy <= ring; ++dy)
            for (int dx = -ring; dx <= ring; ++dx)
                if (dx * dx + dy * dy <= ring * ring + ring) disc.emplace_back(dx, dy);
        for (auto [ax, ay] : disc)
            for (auto [bx, by] : disc)
                for (int ey = -kChannelWidth; ey <= kChannelWidth; ++ey)
                    for (int ex = -kChannelWidth; ex <= kChannelWidth; ++ex)
                        near[cell(ax - bx + ex, ay - by + ey)] = true;
    }

    // Whether the rings of two parts keep the channel between them.
    bool apart(const Part& p, const Part& q) const {
        for (const Texel& s : p) {
            if (s.a < kFaint) continue;
            for (const Texel& t : q) {
                const int ox = t.x - s.x, oy = t.y - s.y;
                if (t.a >= kFaint && std::abs(ox) <= span && std::abs(oy) <= span && near[cell(ox, oy)]) return false;
            }
        }
        return true;
    }

private:
    size_t cell(int ox, int oy) const {
        return static_cast<size_t>(oy + span) * static_cast<size_t>(size) + static_cast<size_t>(ox + span);
    }

    int span, size;
    std::vector<bool> near;
};

struct Box {
    int left = 0, right = 0, top = 0, bottom = 0;  // inclusive
};

Box boxOf(const Part& part) {
    Box b{part.front().x, part.front().x, part.front().y, part.front().y};
    for (const Texel& t : part)
        b = {std::min(b.left, t.x), std::max(b.right, t.x), std::min(b.top, t.y), std::max(b.bottom, t.y)};
    return b;
}

Part moved(const Part& part, int dx, int dy) {
    Part out = part;
    for (Texel& t : out) t.x += dx, t.y += dy;
    return out;
}

// The part squeezed to `rows` rows from its top row down, each new row the mean of the
// rows it covers.
Part squashed(const Part& part, int rows) {
    const Box b = boxOf(part);
    const int top = b.top, left = b.left;
    const int height = b.bottom - top + 1, width = b.right - left + 1;
    std::vector<double> sum(static_cast<size_t>(rows) * width, 0.0);
    for (const Texel& t : part) {
        // The source row spans [y, y + 1) of the part's height, scaled onto the new rows.
        const double from = static_cast<double>(t.y - top) * rows / height;
        const double to = static_cast<double>(t.y - top + 1) * rows / height;
        for (int r = static_cast<int>(from); r < rows && r < to; ++r) {
            const double share = std::min<double>(to, r + 1) - std::max<double>(from, r);
            sum[static_cast<size_t>(r) * width + t.x - left] += t.a * share;
        }
    }
    Part out;
    for (int r = 0; r < rows; ++r)
        for (int x = 0; x < width; ++x)
            if (const double a = sum[static_cast<size_t>(r) * width + x]; a >= 0.5)
                out.push_back({left + x, top + r, static_cast<uint8_t>(std::min(255L, std::lround(a)))});
    return out;
}

std::string resolveFace(const std::string& pattern) {
    FcPattern* query = FcNameParse(reinterpret_cast<const FcChar8*>(pattern.c_str()));
    if (!query) throw std::runtime_error("bad font pattern '" + pattern + "'");
    FcConfigSubstitute(nullptr, query, FcMatchPattern);
    FcDefaultSubstitute(query);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, query, &result);
    std::string wantedFamily = pattern.substr(0, pattern.find(':'));
    std::string path, family;
    if (match) {
        FcChar8* text = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &text) == FcResultMatch) path = reinterpret_cast<const char*>(text);
        if (FcPatternGetString(match, FC_FAMILY, 0, &text) == FcResultMatch)
            family = reinterpret_cast<const char*>(text);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(query);
    if (path.empty() || family != wantedFamily)
        throw std::runtime_error("typeface '" + wantedFamily +
                                 "' is not installed (scripts/install-deps.sh lists its package)");
    return path;
}

struct LibraryDeleter {
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct FaceDeleter {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using LibraryPtr = std::unique_ptr<std::remove_pointer_t<FT_Library>, LibraryDeleter>;
using FacePtr = std::unique_ptr<std::remove_pointer_t<FT_Face>, FaceDeleter>;

class GlyphSource {
public:
    explicit GlyphSource(const FontRecipe& recipe) : recipe(recipe) {
        FT_Library raw = nullptr;
        if (FT_Init_FreeType(&raw) != 0) throw std::runtime_error("FreeType did not start");
        library.reset(raw);
        primary = openFace(resolveFace(recipe.face));
        fallback = openFace(resolveFace(recipe.fallback));
        capTop = inkTop(u'H');
        // The line reaches below the baseline as far as the deepest letter of the table.
        for (int p = 33; p < 256; ++p)
            if (p != 0x7F) descent = std::max(descent, inkBottom(CodePage1252::toUnicode(p)));
        baselineRow = recipe.capLine + capTop + recipe.outline;
        lineHeight = baselineRow + descent + recipe.outline;
    }

    Mask cell(int position) const {
        if (position == 1 || (position >= 3 && position <= 8)) return symbolCell(position);
        if (position == 0xA0) return Mask(std::max(2, advanceOf(u' ')), lineHeight);
        if (position <= 32) return Mask(2, lineHeight);
        char16_t code = CodePage1252::toUnicode(position);
        if (position == 0x7F) code = u'\u0131';
        if (position == 0xAD) code = u'-';
        if (!hasGlyph(code)) return Mask(2, lineHeight);  // the undefined positions of the code page
        Mask mask = glyphCell(code);
        if (recipe.apart.find(code) != std::u32string::npos) mask = partsApart(mask, code);
        bool spacingAccent = position == 0x60 || position == 0xB4 || position == 0x88 || position == 0x98 ||
                             position == 0xA8 || position == 0xB0;
        return spacingAccent ? cropToInk(mask) : mask;
    }

    int height() const { return lineHeight; }

private:
    const FontRecipe& recipe;
    LibraryPtr library;
    FacePtr primary, fallback;
    int capTop = 0, descent = 0, baselineRow = 0, lineHeight = 0;

    FacePtr openFace(const std::string& path) {
        FT_Face face = nullptr;
        if (FT_New_Face(library.get(), path.c_str(), 0, &face) != 0)
            throw std::runtime_error(path + ": FreeType cannot open it");
        FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(recipe.pixels * 64.0)), 72, 72);
        return FacePtr(face);
    }

    bool hasGlyph(char16_t code) const {
        return FT_Get_Char_Index(primary.get(), code) != 0 || FT_Get_Char_Index(fallback.get(), code) != 0;
    }

    FT_Face faceFor(char16_t code) const {
        return FT_Get_Char_Index(primary.get(), code) != 0 ? primary.get() : fallback.get();
    }

    FT_GlyphSlot load(char16_t code) const {
        FT_Face face = faceFor(code);
        FT_Int32 flags = FT_LOAD_RENDER | (recipe.pixels < 14 ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_LIGHT);
        if (FT_Load_Char(face, code, flags) != 0)
            throw std::runtime_error(recipe.file + ": cannot render U+" + std::to_string(code));
        return face->glyph;
    }

    int inkTop(char16_t code) const { return load(code)->bitmap_top; }
    int inkBottom(char16_t code) const {
        FT_GlyphSlot g = load(code);
        return std::max(0, static_cast<int>(g->bitmap.rows) - g->bitmap_top);
    }
    int advanceOf(char16_t code) const { return static_cast<int>((load(code)->advance.x + 32) >> 6); }

    // The cell spans the advance, widened only where the ink and its outline reach past
    // it, so letters keep the typeface's own spacing.
    Mask glyphCell(char16_t code) const {
        FT_GlyphSlot g = load(code);
        int advance = static_cast<int>((g->advance.x + 32) >> 6);
        int inkLeft = g->bitmap_left;
        int inkRight = g->bitmap_left + static_cast<int>(g->bitmap.width);
        int cellLeft = std::min(0, inkLeft - recipe.outline);
        int cellRight = std::max(advance, inkRight + recipe.outline);
        Mask mask(std::max(cellRight - cellLeft, 2), lineHeight);
        for (unsigned row = 0; row < g->bitmap.rows; ++row) {
            int y = baselineRow - g->bitmap_top + static_cast<int>(row);
            if (y < 0 || y >= lineHeight) continue;  // clipped: only accents over capitals reach above the line
            for (unsigned col = 0; col < g->bitmap.width; ++col) {
                int x = inkLeft - cellLeft + static_cast<int>(col);
                if (x >= 0 && x < mask.width) mask.at(x, y) = g->bitmap.buffer[row * g->bitmap.pitch + col];
            }
        }
        return mask;
    }

    // Moves the parts of a mark apart until their rings leave a channel between them, so
    // that a colon never reads as an 8. Parts stacked over one another (":", "!", "?")
    // rise above the lowest, which keeps its place on the line, no higher than the
    // capitals' top; a part that must go farther is squeezed toward its top instead.
    // Parts side by side ("...", "%") move out from the middle one, and the cell widens.
    Mask partsApart(const Mask& mask, char32_t code) const {
        std::vector<Part> parts = splitParts(mask);
        if (parts.size() < 2) return mask;
        bool stacked = true;  // every two parts share columns
        for (const Part& p : parts)
            for (const Part& q : parts) stacked = stacked && boxOf(p).left <= boxOf(q).right;
        const RingReach reach(std::min(kThinnestRing, recipe.outline));
        std::vector<Part> placed;
        auto clear = [&](const Part& part) {
            return std::all_of(placed.begin(), placed.end(),
                               [&](const Part& other) { return reach.apart(other, part); });
        };
        auto fail = [&] {
            char name[16];
            std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(code));
            return std::runtime_error(recipe.file + ": the parts of " + name + " cannot be kept apart");
        };
        if (stacked) {
            std::sort(parts.begin(), parts.end(),
                      [](const Part& a, const Part& b) { return boxOf(a).bottom > boxOf(b).bottom; });
            placed.push_back(parts.front());
            for (size_t i = 1; i < parts.size(); ++i) {
                const Box b = boxOf(parts[i]);
                const int highest = std::min(b.top, baselineRow - capTop);
                int rise = 0;
                while (!clear(moved(parts[i], 0, -rise)) && b.top - rise > highest) ++rise;
                Part part = moved(parts[i], 0, -rise);
                for (int rows = b.bottom - b.top; !clear(part); --rows) {
                    if (rows < 1) throw fail();
                    part = squashed(moved(parts[i], 0, -rise), rows);
                }
                placed.push_back(part);
            }
        } else {
            std::sort(parts.begin(), parts.end(), [](const Part& a, const Part& b) {
                return boxOf(a).left + boxOf(a).right < boxOf(b).left + boxOf(b).right;
            });
            const int middle = static_cast<int>(parts.size()) / 2;
            placed.push_back(parts[middle]);
            auto moveOut = [&](const Part& part, int step) {
                int shift = 0;
                while (!clear(moved(part, shift, 0)))
                    if (std::abs(shift += step) > mask.width) throw fail();
                placed.push_back(moved(part, shift, 0));
            };
            for (int i = middle - 1; i >= 0; --i) moveOut(parts[i], -1);
            for (int i = middle + 1; i < static_cast<int>(parts.size()); ++i) moveOut(parts[i], 1);
        }
        // The cell grows by what the parts, with their rings, now reach past it.
        int left = 0, right = mask.width;
        for (const Part& part : placed) {
            const Box b = boxOf(part);
            left = std::min(left, b.left - recipe.outline);
            right = std::max(right, b.right + 1 + recipe.outline);
        }
        Mask out(right - left, mask.height);
        out.part.assign(out.a.size(), -1);
        for (size_t k = 0; k < placed.size(); ++k)
            for (const Texel& t : placed[k]) {
                const size_t i = static_cast<size_t>(t.y) * out.width + t.x - left;
                if (t.a > out.a[i]) out.a[i] = t.a, out.part[i] = static_cast<int>(k);
            }
        return out;
    }

    // Keeps the rows that hold ink, plus room for the outline drawn around it.
    Mask cropToInk(const Mask& mask) const {
        int top = mask.height, bottom = -1;
        for (int y = 0; y < mask.height; ++y)
            for (int x = 0; x < mask.width; ++x)
                if (mask.at(x, y) != 0) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        if (bottom < 0) return mask;
        top = std::max(0, top - recipe.outline);
        bottom = std::min(mask.height - 1, bottom + recipe.outline);
        Mask out(mask.width, bottom - top + 1);
        for (int y = 0; y < out.height; ++y)
            std::memcpy(&out.at(0, y), &mask.a[static_cast<size_t>(top + y) * mask.width],
                        static_cast<size_t>(mask.width));
        return out;
    }

    // The check mark and arrows, drawn with cairo at the size of the capitals: 1 the check
    // mark; 3 left, 4 right, 5 up and 6 down, the arrow keys' names; 7 left and 8 right,
    // the value items' arrows.
    Mask symbolCell(int position) const {
        double size = std::max(3, capTop);
        int width = static_cast<int>(std::lround(size * 1.15)) + 2 * recipe.outline + 1;
        Mask mask(width, lineHeight);
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, width, lineHeight);
        cairo_t* cr = cairo_create(surface);
        double left = recipe.outline + 0.5, right = width - recipe.outline - 0.5;
        double top = baselineRow - size, bottom = baselineRow, middle = (top + bottom) / 2;
        double cx = (left + right) / 2;
        switch (position) {
            case 1:
                cairo_set_line_width(cr, std::max(1.5, size * 0.22));
                cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
                cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
                cairo_move_to(cr, left + size * 0.1, middle + size * 0.05);
                cairo_line_to(cr, left + size * 0.42, bottom - size * 0.12);
                cairo_line_to(cr, right - size * 0.05, top + size * 0.1);
                cairo_stroke(cr);
                break;
            case 3:
            case 7:
                cairo_move_to(cr, right, top);
                cairo_line_to(cr, right, bottom);
                cairo_line_to(cr, left, middle);
                cairo_fill(cr);
                break;
            case 5:
                cairo_move_to(cr, cx, top);
                cairo_line_to(cr, right, bottom);
                cairo_line_to(cr, left, bottom);
                cairo_fill(cr);
                break;
            case 6:
                cairo_move_to(cr, left, top);
                cairo_line_to(cr, right, top);
                cairo_line_to(cr, cx, bottom);
                cairo_fill(cr);
                break;
            default:
                cairo_move_to(cr, left, top);
                cairo_line_to(cr, left, bottom);
                cairo_line_to(cr, right, middle);
                cairo_fill(cr);
                break;
        }
        cairo_destroy(cr);
        cairo_surface_flush(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        int stride = cairo_image_surface_get_stride(surface);
        for (int y = 0; y < lineHeight; ++y)
            std::memcpy(&mask.at(0, y), data + static_cast<size_t>(y) * stride, static_cast<size_t>(width));
        cairo_surface_destroy(surface);
        return mask;
    }
};

// Who rings each texel of a mark of separate parts: the part whose ink is nearest, or
// nobody in the channel where another part's ink is nearly as near, so that the rings of
// two parts never meet. Distances are counted in steps across, down or diagonally: two
// texels rung by different parts lie at least kChannelWidth + 1 such steps apart.
class RingShares {
public:
    static constexpr int kAnyone = -1;   // a glyph of one part: every texel rings its ink
    static constexpr int kChannel = -2;  // no ring here

    RingShares(const Mask& mask, int ring) : width(mask.width) {
        if (mask.part.empty()) return;
        const int parts = *std::max_element(mask.part.begin(), mask.part.end()) + 1;
        const int reach = ring + kChannelWidth + 2, far = reach + 1;
        owners.assign(mask.a.size(), kChannel);
        for (int y = 0; y < mask.height; ++y)
            for (int x = 0; x < mask.width; ++x) {
                // The steps to each part's ink, as far as a ring and the channel reach.
                std::vector<int> steps(static_cast<size_t>(parts), far);
                for (int ny = std::max(0, y - reach); ny <= std::min(mask.height - 1, y + reach); ++ny)
                    for (int nx = std::max(0, x - reach); nx <= std::min(mask.width - 1, x + reach); ++nx) {
                        const size_t i = static_cast<size_t>(ny) * mask.width + nx;
                        if (mask.a[i] < kFaint) continue;
                        int& s = steps[static_cast<size_t>(mask.part[i])];
                        s = std::min(s, std::max(std::abs(nx - x), std::abs(ny - y)));
                    }
                const auto first = std::min_element(steps.begin(), steps.end());
                int second = far;
                for (auto k = steps.begin(); k != steps.end(); ++k)
                    if (k != first) second = std::min(second, *k);
                if (second - *first > kChannelWidth)
                    owners[static_cast<size_t>(y) * width + x] = static_cast<int>(first - steps.begin());
            }
    }

    int owner(int x, int y) const { return owners.empty() ? kAnyone : owners[static_cast<size_t>(y) * width + x]; }

private:
    int width;
    std::vector<int> owners;
};

// White glyph over a dark outline (the coverage grown by the outline radius; each part of
// a mark of separate parts grown on its own share), the fill darkening a little toward the
// bottom so large letters read as rounded.
Image colourCell(const Mask& mask, const FontRecipe& recipe) {
    Image image(mask.width, mask.height);
    int r = recipe.outline;
    const RingShares shares(mask, r);
    for (int y = 0; y < mask.height; ++y) {
        double shade = 1.0 - recipe.shade * y / std::max(1, mask.height - 1);
        auto fill = static_cast<uint8_t>(std::lround(255.0 * shade));
        for (int x = 0; x < mask.width; ++x) {
            const int owner = shares.owner(x, y);
            int ring = 0;
            for (int dy = -r; dy <= r && r > 0 && owner != RingShares::kChannel; ++dy)
                for (int dx = -r; dx <= r; ++dx) {
                    int nx = x + dx, ny = y + dy;
                    if (dx * dx + dy * dy > r * r + r || nx < 0 || ny < 0 || nx >= mask.width || ny >= mask.height)
                        continue;
                    if (owner >= 0 && mask.part[static_cast<size_t>(ny) * mask.width + nx] != owner) continue;
                    ring = std::max(ring, static_cast<int>(mask.at(nx, ny)));
                }
            int f = mask.at(x, y);
            int alpha = std::max(ring, f);
            uint8_t* out = image.at(x, y);
            if (alpha == 0) {
                out[0] = out[1] = out[2] = 255;  // transparent white: the font cache's background
                continue;
            }
            // Fill over outline, both straight colours, weighted by the fill's share.
            double share = static_cast<double>(f) / alpha;
            out[0] = static_cast<uint8_t>(std::lround(kOutline[0] + (fill - kOutline[0]) * share));
            out[1] = static_cast<uint8_t>(std::lround(kOutline[1] + (fill - kOutline[1]) * share));
            out[2] = static_cast<uint8_t>(std::lround(kOutline[2] + (std::min(255, fill + 6) - kOutline[2]) * share));
            out[3] = static_cast<uint8_t>(alpha);
        }
    }
    return image;
}

BakedTexture newSheet(const FontRecipe& recipe, const std::string& path, int width, int height) {
    BakedTexture sheet;
    sheet.archive = recipe.archive;
    sheet.path = path;
    sheet.name = recipe.folder;
    sheet.meaning = recipe.meaning;
    sheet.image = Image(width, height);
    for (size_t k = 0; k < sheet.image.rgba.size(); k += 4)
        sheet.image.rgba[k] = sheet.image.rgba[k + 1] = sheet.image.rgba[k + 2] = 255;
    return sheet;
}

}  // namespace

std::vector<BakedTexture> GlyphSheetBuilder::build(const FontRecipe& recipe, FontLines* lines) {
    GlyphSource source(recipe);
    std::vector<BakedTexture> sheets;
    auto sheetPath = [&](int number) {
        if (!recipe.single.empty()) return recipe.single;
        return recipe.prefix + "gfx/font/" + recipe.codePage + "/" + recipe.folder + "-" + std::to_string(number) +
               ".tga";
    };
    constexpr int kGap = 1;
    int x = 0, y = 0;
    std::string capitals = FontLines::kCapitals, small = FontLines::kSmall;
    std::vector<Image> capitalCells, smallCells;
    sheets.push_back(newSheet(recipe, sheetPath(1), recipe.sheetWidth, recipe.sheetHeight));
    for (int position = recipe.first; position <= recipe.last; ++position) {
        Image cell = colourCell(source.cell(position), recipe);
        const char letter = position > 0 && position < 128 ? static_cast<char>(position) : '\0';
        if (letter && capitals.find(letter) != std::string::npos) capitalCells.push_back(cell);
        if (letter && small.find(letter) != std::string::npos) smallCells.push_back(cell);
        if (x + cell.width > recipe.sheetWidth) {
            x = 0;
            y += source.height() + kGap;
        }
        if (y + cell.height > recipe.sheetHeight) {
            if (!recipe.single.empty())
                throw std::runtime_error(recipe.file + ": the glyphs do not fit one " +
                                         std::to_string(recipe.sheetWidth) + "x" + std::to_string(recipe.sheetHeight) +
                                         " sheet");
            sheets.push_back(newSheet(recipe, sheetPath(static_cast<int>(sheets.size()) + 1), recipe.sheetWidth,
                                      recipe.sheetHeight));
            x = y = 0;
        }
        BakedTexture& sheet = sheets.back();
        for (int row = 0; row < cell.height; ++row)
            std::memcpy(sheet.image.at(x, y + row), cell.at(0, row), static_cast<size_t>(cell.width) * 4);
        sheet.skins.push_back({x, y, cell.width, cell.height, 0, 0});
        x += cell.width + kGap;
    }
    if (lines) {
        auto pointers = [](const std::vector<Image>& cells) {
            std::vector<const Image*> out;
            for (const Image& cell : cells) out.push_back(&cell);
            return out;
        };
        lines->capitalLine = FontLines::topInkRow(pointers(capitalCells), recipe.capLine);
        lines->lowercaseLine = FontLines::topInkRow(pointers(smallCells), lines->capitalLine);
    }
    // Sheets shrink to the rows they use, keeping an even height.
    for (BakedTexture& sheet : sheets) {
        int used = 0;
        for (const SkinRect& s : sheet.skins) used = std::max(used, s.top + s.height);
        used += used % 2;
        Image trimmed(sheet.image.width, used);
        std::memcpy(trimmed.rgba.data(), sheet.image.rgba.data(), trimmed.rgba.size());
        sheet.image = std::move(trimmed);
    }
    return sheets;
}

}  // namespace artbake
