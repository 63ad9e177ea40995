#include "ContactSheet.h"

#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace artbake {

namespace {

constexpr int kSheetWidth = 1800;
constexpr int kMargin = 16;
constexpr int kTitleHeight = 34;

cairo_surface_t* toSurface(const Image& image) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.width, image.height);
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* p = image.at(x, y);
            uint32_t a = p[3];
            uint32_t word = a << 24 | (p[0] * a / 255) << 16 | (p[1] * a / 255) << 8 | (p[2] * a / 255);
            std::memcpy(data + static_cast<size_t>(y) * stride + x * 4, &word, 4);
        }
    cairo_surface_mark_dirty(surface);
    return surface;
}

int panelWidth(const BakedTexture& t) { return std::max(t.image.width, 300) + 2 * kMargin; }
int panelHeight(const BakedTexture& t) { return t.image.height + kTitleHeight + 2 * kMargin; }

void drawChecker(cairo_t* cr, double x, double y, int w, int h) {
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    for (int cy = 0; cy < h; cy += 8)
        for (int cx = 0; cx < w; cx += 8) {
            bool dark = ((cx / 8) + (cy / 8)) % 2 == 0;
            cairo_set_source_rgb(cr, dark ? 0.30 : 0.36, dark ? 0.32 : 0.38, dark ? 0.36 : 0.42);
            cairo_rectangle(cr, x + cx, y + cy, 8, 8);
            cairo_fill(cr);
        }
    cairo_restore(cr);
}

void drawPanel(cairo_t* cr, const BakedTexture& t, double x, double y) {
    cairo_set_source_rgb(cr, 0.16, 0.17, 0.2);
    cairo_rectangle(cr, x, y, panelWidth(t) - 6, panelHeight(t) - 6);
    cairo_fill(cr);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 12);
    cairo_set_source_rgb(cr, 1, 0.9, 0.6);
    cairo_move_to(cr, x + kMargin, y + kMargin + 4);
    std::string title = t.archive + " : " + t.path;
    cairo_show_text(cr, title.c_str());
    cairo_set_font_size(cr, 11);
    cairo_set_source_rgb(cr, 0.8, 0.85, 0.9);
    cairo_move_to(cr, x + kMargin, y + kMargin + 20);
    std::string info = "\"" + t.name + "\"  " + std::to_string(t.image.width) + "x" + std::to_string(t.image.height) +
                       "  skins: " + std::to_string(t.skins.size());
    cairo_show_text(cr, info.c_str());

    double ix = x + kMargin, iy = y + kMargin + kTitleHeight;
    drawChecker(cr, ix, iy, t.image.width, t.image.height);
    cairo_surface_t* surface = toSurface(t.image);
    cairo_set_source_surface(cr, surface, ix, iy);
    cairo_paint(cr);
    cairo_surface_destroy(surface);

    cairo_set_line_width(cr, 1);
    cairo_set_font_size(cr, 8);
    for (size_t i = 0; i < t.skins.size(); ++i) {
        const SkinRect& s = t.skins[i];
        cairo_set_source_rgba(cr, 1, 1, 0.3, 0.55);
        cairo_rectangle(cr, ix + s.left + 0.5, iy + s.top + 0.5, s.width - 1, s.height - 1);
        cairo_stroke(cr);
        if (t.skins.size() > 1) {
            std::string number = std::to_string(i);
            cairo_set_source_rgba(cr, 0, 0, 0, 0.8);
            cairo_rectangle(cr, ix + s.left + 1, iy + s.top + 1, 4.6 * number.size() + 2, 9);
            cairo_fill(cr);
            cairo_set_source_rgb(cr, 1, 1, 0.4);
            cairo_move_to(cr, ix + s.left + 2, iy + s.top + 8);
            cairo_show_text(cr, number.c_str());
        }
    }
}

}  // namespace

void ContactSheet::write(const std::vector<const BakedTexture*>& textures, const std::string& pngPath) {
    // Lay the panels out in rows first, to know the picture's height.
    std::vector<std::pair<int, int>> places;
    int x = kMargin, y = kMargin, rowHeight = 0;
    for (const BakedTexture* t : textures) {
        if (x + panelWidth(*t) > kSheetWidth && x > kMargin) {
            x = kMargin;
            y += rowHeight;
            rowHeight = 0;
        }
        places.emplace_back(x, y);
        x += panelWidth(*t);
        rowHeight = std::max(rowHeight, panelHeight(*t));
    }
    int height = y + rowHeight + kMargin;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kSheetWidth, height);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 0.09, 0.1, 0.12);
    cairo_paint(cr);
    for (size_t k = 0; k < textures.size(); ++k) drawPanel(cr, *textures[k], places[k].first, places[k].second);
    cairo_destroy(cr);
    cairo_status_t status = cairo_surface_write_to_png(surface, (pngPath + ".part").c_str());
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS || std::rename((pngPath + ".part").c_str(), pngPath.c_str()) != 0)
        throw std::runtime_error(pngPath + ": cannot write");
}

}  // namespace artbake
