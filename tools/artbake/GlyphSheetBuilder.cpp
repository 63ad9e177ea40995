#include "GlyphSheetBuilder.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
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
    Mask(int w, int h) : width(w), height(h), a(static_cast<size_t>(w) * h, 0) {}
    uint8_t& at(int x, int y) { return a[static_cast<size_t>(y) * width + x]; }
    uint8_t at(int x, int y) const { return a[static_cast<size_t>(y) * width + x]; }
};

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

// White glyph over a dark outline (the coverage grown by the outline radius), the fill
// darkening a little toward the bottom so large letters read as rounded.
Image colourCell(const Mask& mask, const FontRecipe& recipe) {
    Image image(mask.width, mask.height);
    int r = recipe.outline;
    for (int y = 0; y < mask.height; ++y) {
        double shade = 1.0 - recipe.shade * y / std::max(1, mask.height - 1);
        auto fill = static_cast<uint8_t>(std::lround(255.0 * shade));
        for (int x = 0; x < mask.width; ++x) {
            int ring = 0;
            for (int dy = -r; dy <= r && r > 0; ++dy)
                for (int dx = -r; dx <= r; ++dx) {
                    int nx = x + dx, ny = y + dy;
                    if (dx * dx + dy * dy > r * r + r || nx < 0 || ny < 0 || nx >= mask.width || ny >= mask.height)
                        continue;
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
