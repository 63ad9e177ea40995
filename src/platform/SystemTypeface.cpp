#include "platform/SystemTypeface.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
// The faces the game asks for by their desktop names, and the free faces with their metrics.
struct Substitute {
    const char* asked;
    const char* given;
};
constexpr Substitute kSubstitutes[] = {{"Arial", "Liberation Sans"}, {"Comic Sans MS", "Comic Neue"}};

// One FreeType library for the process, made on first use and released at exit.
class Library {
public:
    static FT_Library get() {
        static Library library;
        return library.handle;
    }
    ~Library() {
        if (handle) FT_Done_FreeType(handle);
    }

private:
    Library() {
        if (FT_Init_FreeType(&handle) != 0) handle = nullptr;
    }
    FT_Library handle = nullptr;
};

std::vector<char32_t> decode(std::u16string_view text) {
    std::vector<char32_t> out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        out.push_back(c);
    }
    return out;
}

int roundPixels(FT_Pos value26_6) { return static_cast<int>((value26_6 + 32) >> 6); }
}  // namespace

struct SystemTypeface::Face {
    FT_Face handle = nullptr;
    ~Face() {
        if (handle) FT_Done_Face(handle);
    }
};

SystemTypeface::SystemTypeface(std::unique_ptr<Face> face_) : face(std::move(face_)) {}
SystemTypeface::~SystemTypeface() = default;

std::string SystemTypeface::resolveFile(const std::string& asked, bool bold) {
    std::string familyName = asked;
    for (const auto& s : kSubstitutes)
        if (asked == s.asked) familyName = s.given;
    if (!FcInit()) return {};
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(familyName.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    std::string file;
    FcChar8* path = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) file = reinterpret_cast<char*>(path);
    if (match) FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    return file;
}

std::unique_ptr<SystemTypeface> SystemTypeface::open(const std::string& familyAsked, int cellHeight, bool bold) {
    FT_Library library = Library::get();
    const std::string file = resolveFile(familyAsked, bold);
    if (!library || file.empty() || cellHeight <= 0) return nullptr;
    auto face = std::make_unique<Face>();
    if (FT_New_Face(library, file.c_str(), 0, &face->handle) != 0 || !FT_IS_SCALABLE(face->handle)) return nullptr;
    FT_Face f = face->handle;
    FT_Select_Charmap(f, FT_ENCODING_UNICODE);

    // The cell is the face's Windows ascent plus descent, as a desktop font device sizes
    // a font by its cell height; faces without those figures use their general ones.
    long unitsAscent = f->ascender, unitsDescent = -f->descender;
    if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
        os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        unitsAscent = os2->usWinAscent;
        unitsDescent = os2->usWinDescent;
    }
    const long cellUnits = std::max(1L, unitsAscent + unitsDescent);
    const double emPixels = static_cast<double>(cellHeight) * f->units_per_EM / cellUnits;
    if (FT_Set_Char_Size(f, 0, static_cast<FT_F26Dot6>(std::lround(emPixels * 64.0)), 72, 72) != 0) return nullptr;

    std::unique_ptr<SystemTypeface> typeface(new SystemTypeface(std::move(face)));
    typeface->family = f->family_name ? f->family_name : "";
    typeface->ascent = static_cast<int>(std::lround(static_cast<double>(unitsAscent) * cellHeight / cellUnits));
    typeface->descent = cellHeight - typeface->ascent;
    return typeface;
}

int SystemTypeface::advanceOf(char32_t c) {
    const FT_UInt index = FT_Get_Char_Index(face->handle, c);
    if (FT_Load_Glyph(face->handle, index, FT_LOAD_DEFAULT) != 0) return 0;
    return roundPixels(face->handle->glyph->advance.x);
}

SystemTypeface::Extent SystemTypeface::textExtent(std::u16string_view text) {
    Extent e{0, cellHeight()};
    for (char32_t c : decode(text)) e.width += advanceOf(c);
    return e;
}

bool SystemTypeface::charABC(char32_t c, ABC& out) {
    out = ABC{};
    const FT_UInt index = FT_Get_Char_Index(face->handle, c);
    if (index == 0 || FT_Load_Glyph(face->handle, index, FT_LOAD_DEFAULT) != 0) return false;
    FT_GlyphSlot g = face->handle->glyph;
    const int advance = roundPixels(g->advance.x);
    if (g->format == FT_GLYPH_FORMAT_OUTLINE && g->outline.n_points > 0) {
        FT_BBox box;
        FT_Outline_Get_CBox(&g->outline, &box);
        const int left = static_cast<int>(std::floor(box.xMin / 64.0));
        const int right = static_cast<int>(std::ceil(box.xMax / 64.0));
        out.a = left;
        out.b = right - left;
        out.c = advance - right;
    } else {
        out.c = advance;  // no ink: all of it is advance
    }
    return true;
}

void SystemTypeface::drawText(std::u16string_view text, int x, int y, std::uint32_t* pixels, int width, int height) {
    if (!pixels || width <= 0 || height <= 0) return;
    const Extent extent = textExtent(text);
    // The opaque background covers the text's cell.
    for (int row = std::max(0, y); row < std::min(height, y + extent.height); ++row)
        for (int col = std::max(0, x); col < std::min(width, x + extent.width); ++col)
            pixels[static_cast<std::size_t>(row) * width + col] = 0xFF000000u;
    int penX = x;
    const int baseline = y + ascent;
    for (char32_t c : decode(text)) {
        const FT_UInt index = FT_Get_Char_Index(face->handle, c);
        if (FT_Load_Glyph(face->handle, index, FT_LOAD_DEFAULT) != 0) continue;
        FT_GlyphSlot g = face->handle->glyph;
        if (FT_Render_Glyph(g, FT_RENDER_MODE_NORMAL) == 0 && g->bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
            const FT_Bitmap& bm = g->bitmap;
            for (unsigned r = 0; r < bm.rows; ++r) {
                const int py = baseline - g->bitmap_top + static_cast<int>(r);
                if (py < 0 || py >= height) continue;
                for (unsigned col = 0; col < bm.width; ++col) {
                    const int px = penX + g->bitmap_left + static_cast<int>(col);
                    if (px < 0 || px >= width) continue;
                    const std::uint32_t level = bm.buffer[static_cast<std::ptrdiff_t>(r) * bm.pitch + col];
                    std::uint32_t& dst = pixels[static_cast<std::size_t>(py) * width + px];
                    // Overlapping ink of neighbours keeps the brighter level.
                    const std::uint32_t old = dst & 0xFF;
                    const std::uint32_t v = std::max(old, level);
                    dst = 0xFF000000u | (v << 16) | (v << 8) | v;
                }
            }
        }
        penX += roundPixels(g->advance.x);
    }
}
