#include "platform/TexelMapping.h"

#include <cmath>
#include <cstring>

#include "platform/DeviceVertexBuffer.h"
#include "render/Matrix.h"

namespace {
// A texel away from its centre by less than this is read as its centre: filtering weights
// of 8 bits cannot tell the difference.
constexpr double kTolerance = 1.0 / 1024.0;

struct Mapped {
    double x, y;  // pixels from the viewport's top left; pixel centres at n + 0.5
    double u, v;  // texels; texel centres at n + 0.5
    double w;
};

bool nearWhole(double a) { return std::abs(a - std::round(a)) < kTolerance; }

// Along one axis: pixel p and texel t of every vertex satisfy t = sign * p + offset for
// one whole offset, with sign +1 or -1.
template <class P, class T>
bool axisExact(const Mapped* m, int count, P pixel, T texel) {
    for (double sign : {1.0, -1.0}) {
        const double offset = texel(m[0]) - sign * pixel(m[0]);
        bool same = nearWhole(offset);
        for (int i = 1; same && i < count; ++i) same = std::abs(texel(m[i]) - sign * pixel(m[i]) - offset) < kTolerance;
        if (same) return true;
    }
    return false;
}
}  // namespace

bool mapsTexelCentresToPixelCentres(const std::uint8_t* vertices, int count, const Matrix& transform, int viewportWidth,
                                    int viewportHeight, int textureWidth, int textureHeight) {
    constexpr int kMaxVertices = 64;  // larger shapes are not worth checking
    if (count < 3 || count > kMaxVertices || viewportWidth <= 0 || viewportHeight <= 0) return false;
    Mapped m[kMaxVertices];
    for (int i = 0; i < count; ++i) {
        float f[6];
        std::memcpy(f, vertices + static_cast<std::ptrdiff_t>(i) * DeviceVertexBuffer::kStride, 12);
        std::memcpy(f + 4, vertices + static_cast<std::ptrdiff_t>(i) * DeviceVertexBuffer::kStride + 16, 8);
        double clip[4];
        for (int c = 0; c < 4; ++c)
            clip[c] =
                f[0] * transform.m[0][c] + f[1] * transform.m[1][c] + f[2] * transform.m[2][c] + transform.m[3][c];
        if (!(clip[3] > 0.0) || !std::isfinite(clip[0]) || !std::isfinite(clip[1])) return false;
        // The device moves every vertex half a pixel right and down.
        m[i] = Mapped{(clip[0] / clip[3] + 1.0) * 0.5 * viewportWidth + 0.5,
                      (1.0 - clip[1] / clip[3]) * 0.5 * viewportHeight + 0.5, f[4] * static_cast<double>(textureWidth),
                      f[5] * static_cast<double>(textureHeight), clip[3]};
        if (std::abs(m[i].w - m[0].w) > 1e-6 * std::abs(m[0].w)) return false;
    }
    return axisExact(
               m, count, [](const Mapped& p) { return p.x; }, [](const Mapped& p) { return p.u; }) &&
           axisExact(
               m, count, [](const Mapped& p) { return p.y; }, [](const Mapped& p) { return p.v; });
}
