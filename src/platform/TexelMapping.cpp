#include "platform/TexelMapping.h"

#include <cmath>
#include <initializer_list>

#include "platform/ClipVertex.h"

namespace {
// A texel away from its centre by less than this is read as its centre: filtering weights
// of 8 bits cannot tell the difference.
constexpr double kTolerance = 1.0 / 1024.0;

bool nearWhole(double a) { return std::abs(a - std::round(a)) < kTolerance; }

// Along one axis: pixel p and texel t of every vertex satisfy t = sign * p + offset for
// one whole offset, with sign +1 or -1.
template <class P, class T>
bool axisExact(const ClipVertex* v, int count, P pixel, T texel) {
    for (double sign : {1.0, -1.0}) {
        const double offset = texel(v[0]) - sign * pixel(v[0]);
        bool same = nearWhole(offset);
        for (int i = 1; same && i < count; ++i) same = std::abs(texel(v[i]) - sign * pixel(v[i]) - offset) < kTolerance;
        if (same) return true;
    }
    return false;
}
}  // namespace

bool mapsTexelCentresToPixelCentres(const ClipVertex* vertices, int count, int viewportWidth, int viewportHeight,
                                    int textureWidth, int textureHeight) {
    if (count < 3 || viewportWidth <= 0 || viewportHeight <= 0) return false;
    const double w = vertices[0].w;
    for (int i = 0; i < count; ++i) {
        const ClipVertex& v = vertices[i];
        if (!(v.w > 0.0f) || !std::isfinite(v.x) || !std::isfinite(v.y)) return false;
        if (std::abs(v.w - w) > 1e-6 * w) return false;
    }
    // Pixels from the viewport's top left, pixel centres at n + 0.5: the device moves
    // every vertex half a pixel right and down. Texels likewise, centres at n + 0.5.
    auto pixelX = [&](const ClipVertex& v) { return (v.x / w + 1.0) * 0.5 * viewportWidth + 0.5; };
    auto pixelY = [&](const ClipVertex& v) { return (1.0 - v.y / w) * 0.5 * viewportHeight + 0.5; };
    auto texelU = [&](const ClipVertex& v) { return v.u * static_cast<double>(textureWidth); };
    auto texelV = [&](const ClipVertex& v) { return v.v * static_cast<double>(textureHeight); };
    return axisExact(vertices, count, pixelX, texelU) && axisExact(vertices, count, pixelY, texelV);
}
