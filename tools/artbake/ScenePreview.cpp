#include "ScenePreview.h"

#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <numbers>
#include <sstream>
#include <stdexcept>

namespace artbake {

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 480;

struct Surface {
    cairo_surface_t* surface = nullptr;
    ~Surface() { if (surface) cairo_surface_destroy(surface); }
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

} // namespace

void ScenePreview::write(const std::vector<const BakedTexture*>& textures, const std::string& sceneFile,
                         const std::string& pngPath) {
    std::ifstream in(sceneFile);
    if (!in)
        return; // no scene, no preview
    std::map<std::string, const BakedTexture*> byName;
    for (const BakedTexture* t : textures)
        byName.emplace(t->name, t);

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
        if (!(words >> key) || key[0] == '#')
            continue;
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
            if (found == byName.end())
                fail("no texture named " + name);
            const BakedTexture& t = *found->second;
            if (skin < 0 || skin >= static_cast<int>(t.skins.size()))
                fail("no skin " + std::to_string(skin) + " in " + name);
            double sx = 1, sy = 1, rot = 0, alpha = 1, r = 1, g = 1, b = 1;
            bool mirror = false;
            std::string anchor, option;
            while (words >> option) {
                size_t eq = option.find('=');
                std::string k = option.substr(0, eq), v = eq == std::string::npos ? "" : option.substr(eq + 1);
                if (k == "scale") sx = sy = std::stod(v);
                else if (k == "sx") sx = std::stod(v);
                else if (k == "sy") sy = std::stod(v);
                else if (k == "rot") rot = std::stod(v);
                else if (k == "alpha") alpha = std::stod(v);
                else if (k == "mirror") mirror = v == "1";
                else if (k == "tint") parseColour(v, r, g, b);
                else if (k == "anchor") anchor = v;
                else fail("unknown option " + k);
            }
            const SkinRect& s = t.skins[skin];
            Surface tinted{makeSurface(t.image, r, g, b)};
            for (int k = 0; k < repeat; ++k) {
                cairo_save(cr);
                cairo_translate(cr, kWidth / 2.0 + (x + k * repeatX - camX), kHeight / 2.0 - (y + k * repeatY - camY));
                cairo_rotate(cr, -rot * std::numbers::pi / 180.0);
                cairo_scale(cr, sx * (mirror ? -1 : 1), sy);
                double ox = -s.width / 2.0 + s.originAdjustX, oy = -s.height / 2.0 + s.originAdjustY;
                if (anchor == "bottom") { ox = -s.width / 2.0; oy = -s.height; }
                else if (anchor == "bottomleft") { ox = 0; oy = -s.height; }
                else if (anchor == "topleft") { ox = 0; oy = 0; }
                else if (anchor == "left") { ox = 0; oy = -s.height / 2.0; }
                else if (anchor == "right") { ox = -s.width; oy = -s.height / 2.0; }
                cairo_rectangle(cr, ox, oy, s.width, s.height);
                cairo_clip(cr);
                cairo_set_source_surface(cr, tinted.surface, ox - s.left, oy - s.top);
                cairo_paint_with_alpha(cr, alpha);
                cairo_restore(cr);
            }
            repeat = 1;
            repeatX = repeatY = 0;
        } else {
            fail("unknown key " + key);
        }
    }
    cairo_destroy(cr);
    cairo_status_t status = cairo_surface_write_to_png(target, pngPath.c_str());
    cairo_surface_destroy(target);
    if (status != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error(pngPath + ": cannot write");
}

} // namespace artbake
