#include "ScenePreview.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <numbers>
#include <sstream>
#include <stdexcept>

#include "CodePage1252.h"
#include "Utf8.h"

namespace artbake {

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 480;

struct Surface {
    cairo_surface_t* surface = nullptr;
    ~Surface() {
        if (surface) cairo_surface_destroy(surface);
    }
};

// Premultiplied copy of a texture, tinted the way the game multiplies a vertex colour.
cairo_surface_t* makeSurface(const Image& image, double r, double g, double b) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.width, image.height);
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* p = image.at(x, y);
            double a = p[3] / 255.0;
            auto c = [a](double v) { return static_cast<uint32_t>(std::lround(v * a)); };
            uint32_t word = static_cast<uint32_t>(p[3]) << 24 | c(p[0] * r) << 16 | c(p[1] * g) << 8 | c(p[2] * b);
            std::memcpy(data + static_cast<size_t>(y) * stride + x * 4, &word, 4);
        }
    cairo_surface_mark_dirty(surface);
    return surface;
}

void parseColour(const std::string& text, double& r, double& g, double& b) {
    unsigned value = 0;
    if (text.size() != 7 || std::sscanf(text.c_str() + 1, "%x", &value) != 1)
        throw std::runtime_error("bad colour " + text);
    r = ((value >> 16) & 0xFF) / 255.0;
    g = ((value >> 8) & 0xFF) / 255.0;
    b = (value & 0xFF) / 255.0;
}

int positionOf(char32_t code) {
    for (int p = 0; p < CodePage1252::kEntries; ++p)
        if (CodePage1252::toUnicode(p) == code) return p;
    return '?';
}

// Cell k of a font, counting across its sheets in order.
std::pair<const BakedTexture*, int> fontCell(const std::vector<const BakedTexture*>& sheets, int k) {
    if (k < 0) return {nullptr, 0};  // before the font's first position (a space in a font from ',')
    for (const BakedTexture* sheet : sheets) {
        if (k < static_cast<int>(sheet->skins.size())) return {sheet, k};
        k -= static_cast<int>(sheet->skins.size());
    }
    return {nullptr, 0};
}

void drawCell(cairo_t* cr, cairo_surface_t* surface, const SkinRect& s, double x, double y) {
    cairo_save(cr);
    cairo_rectangle(cr, x, y, s.width, s.height);
    cairo_clip(cr);
    cairo_set_source_surface(cr, surface, x - s.left, y - s.top);
    cairo_paint(cr);
    cairo_restore(cr);
}

// The accented letters the game builds from a base letter and an accent in this code page
// (accent placed automatically, except the cedilla, which hangs from the line's top).
struct Composite {
    char32_t code, base, accent;
};
const std::vector<Composite>& composites() {
    static const std::vector<Composite> table = [] {
        std::vector<Composite> t;
        const char32_t grave = 0x60, acute = 0xB4, circ = 0x2C6, tilde = 0x2DC, uml = 0xA8, ring = 0xB0;
        auto row = [&t](char32_t first, char32_t base, std::initializer_list<char32_t> accents) {
            char32_t code = first;
            for (char32_t a : accents) t.push_back({code++, base, a});
        };
        row(0xC0, 'A', {grave, acute, circ, tilde, uml, ring});
        row(0xC8, 'E', {grave, acute, circ, uml});
        row(0xCC, 'I', {grave, acute, circ, uml});
        row(0xD2, 'O', {grave, acute, circ, tilde, uml});
        row(0xD9, 'U', {grave, acute, circ, uml});
        row(0xE0, 'a', {grave, acute, circ, tilde, uml, ring});
        row(0xE8, 'e', {grave, acute, circ, uml});
        row(0xEC, 0x7F, {grave, acute, circ, uml});
        row(0xF2, 'o', {grave, acute, circ, tilde, uml});
        row(0xF9, 'u', {grave, acute, circ, uml});
        t.push_back({0xC7, 'C', 0xB8});
        t.push_back({0xE7, 'c', 0xB8});
        t.push_back({0xD1, 'N', tilde});
        t.push_back({0xF1, 'n', tilde});
        t.push_back({0xDD, 'Y', acute});
        t.push_back({0xFD, 'y', acute});
        t.push_back({0xFF, 'y', uml});
        t.push_back({0x178, 'Y', uml});
        return t;
    }();
    return table;
}

}  // namespace

void ScenePreview::write(const std::vector<const BakedTexture*>& textures, const std::string& sceneFile,
                         const std::string& pngPath) {
    std::ifstream in(sceneFile);
    if (!in) return;  // no scene, no preview
    std::map<std::string, const BakedTexture*> byName;
    for (const BakedTexture* t : textures) byName.emplace(t->name, t);

    cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
    cairo_t* cr = cairo_create(target);
    double camX = 0, camY = 0;
    int repeat = 1;
    double repeatX = 0, repeatY = 0;
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        std::istringstream words(line);
        std::string key;
        if (!(words >> key) || key[0] == '#') continue;
        auto fail = [&](const std::string& what) {
            throw std::runtime_error(sceneFile + ":" + std::to_string(lineNumber) + ": " + what);
        };
        if (key == "camera") {
            words >> camX >> camY;
        } else if (key == "clear") {
            std::string colour;
            words >> colour;
            double r, g, b;
            parseColour(colour, r, g, b);
            cairo_set_source_rgb(cr, r, g, b);
            cairo_paint(cr);
        } else if (key == "repeat") {
            words >> repeat >> repeatX >> repeatY;
            continue;
        } else if (key == "draw") {
            std::string name;
            int skin = 0;
            double x = 0, y = 0;
            words >> name >> skin >> x >> y;
            auto found = byName.find(name);
            if (found == byName.end()) fail("no texture named " + name);
            const BakedTexture& t = *found->second;
            if (skin < 0 || skin >= static_cast<int>(t.skins.size()))
                fail("no skin " + std::to_string(skin) + " in " + name);
            double sx = 1, sy = 1, rot = 0, alpha = 1, r = 1, g = 1, b = 1;
            bool mirror = false;
            std::string anchor, option;
            while (words >> option) {
                size_t eq = option.find('=');
                std::string k = option.substr(0, eq), v = eq == std::string::npos ? "" : option.substr(eq + 1);
                if (k == "scale")
                    sx = sy = std::stod(v);
                else if (k == "sx")
                    sx = std::stod(v);
                else if (k == "sy")
                    sy = std::stod(v);
                else if (k == "rot")
                    rot = std::stod(v);
                else if (k == "alpha")
                    alpha = std::stod(v);
                else if (k == "mirror")
                    mirror = v == "1";
                else if (k == "tint")
                    parseColour(v, r, g, b);
                else if (k == "anchor")
                    anchor = v;
                else
                    fail("unknown option " + k);
            }
            const SkinRect& s = t.skins[skin];
            Surface tinted{makeSurface(t.image, r, g, b)};
            for (int k = 0; k < repeat; ++k) {
                cairo_save(cr);
                cairo_translate(cr, kWidth / 2.0 + (x + k * repeatX - camX), kHeight / 2.0 - (y + k * repeatY - camY));
                cairo_rotate(cr, -rot * std::numbers::pi / 180.0);
                cairo_scale(cr, sx * (mirror ? -1 : 1), sy);
                double ox = -s.width / 2.0 + s.originAdjustX, oy = -s.height / 2.0 + s.originAdjustY;
                if (anchor == "bottom") {
                    ox = -s.width / 2.0;
                    oy = -s.height;
                } else if (anchor == "bottomleft") {
                    ox = 0;
                    oy = -s.height;
                } else if (anchor == "topleft") {
                    ox = 0;
                    oy = 0;
                } else if (anchor == "left") {
                    ox = 0;
                    oy = -s.height / 2.0;
                } else if (anchor == "right") {
                    ox = -s.width;
                    oy = -s.height / 2.0;
                }
                cairo_rectangle(cr, ox, oy, s.width, s.height);
                cairo_clip(cr);
                cairo_set_source_surface(cr, tinted.surface, ox - s.left, oy - s.top);
                cairo_paint_with_alpha(cr, alpha);
                cairo_restore(cr);
            }
            repeat = 1;
            repeatX = repeatY = 0;
        } else if (key == "text") {
            // text <font> <x> <y> <first position> <spacing> <capital line> <small line> <tint> <words...>
            // (a capital line of -1 draws accented letters from the sheet, else the way the
            // game composes them from a base letter and an accent)
            std::string font, colour, rest;
            double x = 0, y = 0;
            int first = 0, spacing = 0, capitalLine = -1, smallLine = -1;
            words >> font >> x >> y >> first >> spacing >> capitalLine >> smallLine >> colour;
            std::getline(words >> std::ws, rest);
            std::vector<const BakedTexture*> sheets;
            for (const BakedTexture* t : textures)
                if (t->name == font) sheets.push_back(t);
            if (sheets.empty()) fail("no font named " + font);
            double r, g, b;
            parseColour(colour, r, g, b);
            std::vector<Surface> surfaces(sheets.size());
            for (size_t k = 0; k < sheets.size(); ++k) surfaces[k].surface = makeSurface(sheets[k]->image, r, g, b);
            auto cellOf = [&](char32_t code) -> std::pair<size_t, const SkinRect*> {
                int position = code == 0x7F ? 0x7F : positionOf(code);
                auto [sheet, skin] = fontCell(sheets, position - first);
                if (!sheet) return {0, nullptr};
                size_t index = static_cast<size_t>(std::find(sheets.begin(), sheets.end(), sheet) - sheets.begin());
                return {index, &sheet->skins[skin]};
            };
            double penX = kWidth / 2.0 + x - camX, penY = kHeight / 2.0 - (y - camY);
            for (char32_t code : decodeUtf8(rest)) {
                const Composite* composite = nullptr;
                if (capitalLine >= 0)
                    for (const Composite& c : composites())
                        if (c.code == code) composite = &c;
                auto [index, cell] = cellOf(composite ? composite->base : code);
                if (!cell || code == U' ') {
                    penX += 6;
                    continue;
                }
                if (composite) {
                    auto [accentIndex, accent] = cellOf(composite->accent);
                    if (accent) {
                        int accentX = static_cast<int>((cell->width + 1 - accent->width) * 0.5);
                        bool small = (composite->base >= 'a' && composite->base <= 'z') || composite->base == 0x7F;
                        int accentY =
                            composite->accent == 0xB8 ? 0 : accent->height - (small ? smallLine : capitalLine) + 1;
                        drawCell(cr, surfaces[accentIndex].surface, *accent, penX + accentX, penY - accentY);
                    }
                }
                drawCell(cr, surfaces[index].surface, *cell, penX, penY);
                penX += cell->width + spacing;
            }
        } else {
            fail("unknown key " + key);
        }
    }
    cairo_destroy(cr);
    cairo_status_t status = cairo_surface_write_to_png(target, pngPath.c_str());
    cairo_surface_destroy(target);
    if (status != CAIRO_STATUS_SUCCESS) throw std::runtime_error(pngPath + ": cannot write");
}

}  // namespace artbake
