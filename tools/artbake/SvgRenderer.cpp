#include "SvgRenderer.h"

#include <cairo.h>
#include <librsvg/rsvg.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>
#include <stdexcept>
#include <string_view>

namespace artbake {

namespace {

struct HandleDeleter {
    void operator()(RsvgHandle* handle) const { g_object_unref(handle); }
};
struct SurfaceDeleter {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct ContextDeleter {
    void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};

std::string takeError(GError* error) {
    std::string message = error ? error->message : "unknown error";
    if (error) g_error_free(error);
    return message;
}

// Cairo keeps premultiplied native-endian ARGB words; the game wants straight alpha.
Image toStraightRgba(cairo_surface_t* surface, int width, int height) {
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    Image image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint32_t word = 0;
            std::memcpy(&word, data + static_cast<size_t>(y) * stride + x * 4, 4);
            uint32_t a = word >> 24;
            uint8_t* out = image.at(x, y);
            if (a == 0) continue;
            auto unpremultiply = [a](uint32_t c) {
                return static_cast<uint8_t>(std::min<uint32_t>(255, (c * 255 + a / 2) / a));
            };
            out[0] = unpremultiply((word >> 16) & 0xFF);
            out[1] = unpremultiply((word >> 8) & 0xFF);
            out[2] = unpremultiply(word & 0xFF);
            out[3] = static_cast<uint8_t>(a);
        }
    }
    return image;
}

// Two elements with one id make librsvg quietly pick one of them, which once blanked a
// whole layer; refuse such drawings instead.
void checkUniqueIds(const std::string& svgText, const std::string& source) {
    std::set<std::string_view> seen;
    std::string_view text(svgText);
    for (size_t pos = text.find(" id=\""); pos != std::string_view::npos; pos = text.find(" id=\"", pos + 1)) {
        size_t start = pos + 5;
        size_t end = text.find('"', start);
        if (end == std::string_view::npos) break;
        if (!seen.insert(text.substr(start, end - start)).second)
            throw std::runtime_error(source + ": the id \"" + std::string(text.substr(start, end - start)) +
                                     "\" is used twice");
    }
}

}  // namespace

Image SvgRenderer::render(const std::string& svgText, int width, int height, const std::string& layer,
                          const std::string& source) {
    checkUniqueIds(svgText, source);
    GError* error = nullptr;
    std::unique_ptr<RsvgHandle, HandleDeleter> handle(
        rsvg_handle_new_from_data(reinterpret_cast<const guint8*>(svgText.data()), svgText.size(), &error));
    if (!handle) throw std::runtime_error(source + ": " + takeError(error));
    rsvg_handle_set_dpi(handle.get(), 96.0);

    std::unique_ptr<cairo_surface_t, SurfaceDeleter> surface(
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    std::unique_ptr<cairo_t, ContextDeleter> cr(cairo_create(surface.get()));
    RsvgRectangle viewport{0.0, 0.0, static_cast<double>(width), static_cast<double>(height)};
    gboolean ok = layer.empty()
                      ? rsvg_handle_render_document(handle.get(), cr.get(), &viewport, &error)
                      : rsvg_handle_render_layer(handle.get(), cr.get(), ("#" + layer).c_str(), &viewport, &error);
    if (!ok) throw std::runtime_error(source + (layer.empty() ? "" : " #" + layer) + ": " + takeError(error));
    return toStraightRgba(surface.get(), width, height);
}

}  // namespace artbake
