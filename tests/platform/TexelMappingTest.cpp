#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "platform/ClipVertex.h"
#include "platform/TexelMapping.h"
#include "render/Matrix.h"
#include "render/Vertex.h"

namespace {
constexpr int kWidth = 320, kHeight = 192, kTexture = 64;

// Back-buffer pixels (x right, y down) to clip space, as the device's tests draw.
Matrix pixelSpace() {
    Matrix m = Matrix::identity();
    m.m[0][0] = 2.0f / kWidth;
    m.m[1][1] = -2.0f / kHeight;
    m.m[3][0] = -1.0f;
    m.m[3][1] = 1.0f;
    return m;
}

// A rectangle from (x0, y0) to (x1, y1) in pixels (whole coordinates are pixel centres)
// showing texels (t0, s0) to (t1, s1) of a 64 x 64 texture.
std::vector<Vertex> rect(float x0, float y0, float x1, float y1, float t0, float s0, float t1, float s1) {
    const float n = kTexture;
    return {{x0, y0, 0, 0, t0 / n, s0 / n},
            {x1, y0, 0, 0, t1 / n, s0 / n},
            {x0, y1, 0, 0, t0 / n, s1 / n},
            {x1, y1, 0, 0, t1 / n, s1 / n}};
}

// Places the vertices with `m` into clip space, as the device does, and asks.
bool exact(const std::vector<Vertex>& v, const Matrix& m = pixelSpace()) {
    std::vector<ClipVertex> clip;
    for (const Vertex& p : v) {
        float c[4];
        for (int k = 0; k < 4; ++k) c[k] = p.x * m.m[0][k] + p.y * m.m[1][k] + p.z * m.m[2][k] + m.m[3][k];
        clip.push_back(ClipVertex{c[0], c[1], c[2], c[3], p.u, p.v, 0, {}});
    }
    return mapsTexelCentresToPixelCentres(clip.data(), static_cast<int>(clip.size()), kWidth, kHeight, kTexture,
                                          kTexture);
}
}  // namespace

TEST(TexelMappingTest, OneTexelPerPixelOnTheirCentresIsExactEitherWayRound) {
    EXPECT_TRUE(exact(rect(9.5f, 19.5f, 41.5f, 35.5f, 0, 0, 32, 16)));
    EXPECT_TRUE(exact(rect(9.5f, 19.5f, 41.5f, 35.5f, 10, 20, 42, 36))) << "any whole texel offset";
    EXPECT_TRUE(exact(rect(41.5f, 19.5f, 9.5f, 35.5f, 0, 0, 32, 16))) << "mirrored";
    EXPECT_TRUE(exact(rect(9.5f, 35.5f, 41.5f, 19.5f, 0, 0, 32, 16))) << "upside down";
    EXPECT_TRUE(exact(rect(9.5f + 1e-5f, 19.5f, 41.5f + 1e-5f, 35.5f, 0, 0, 32, 16))) << "rounding noise";
}

TEST(TexelMappingTest, AnythingElseIsFiltered) {
    EXPECT_FALSE(exact(rect(10.0f, 19.5f, 42.0f, 35.5f, 0, 0, 32, 16))) << "half a pixel off across";
    EXPECT_FALSE(exact(rect(9.5f, 20.0f, 41.5f, 36.0f, 0, 0, 32, 16))) << "half a pixel off down";
    EXPECT_FALSE(exact(rect(9.5f, 19.5f, 73.5f, 35.5f, 0, 0, 32, 16))) << "stretched";
    EXPECT_FALSE(exact(rect(9.5f, 19.5f, 41.5f, 35.5f, 0.5f, 0, 32.5f, 16))) << "between texels";
    EXPECT_FALSE(exact(rect(9.5f, 19.5f, 41.5f, 35.5f, 0, 0, 16, 32))) << "axes swapped";
    EXPECT_FALSE(exact(rect(9.5f, 19.5f, 41.5f, 35.5f, 0, 0, 32, 16), Matrix{})) << "flattened";
    // Three cells in a strip: the stretched middle one spoils the draw.
    std::vector<Vertex> strip = rect(9.5f, 19.5f, 17.5f, 35.5f, 0, 0, 8, 16);
    const std::vector<Vertex> rest = rect(57.5f, 19.5f, 65.5f, 35.5f, 16, 0, 24, 16);
    strip.insert(strip.end(), rest.begin(), rest.end());
    EXPECT_FALSE(exact(strip));
}

TEST(TexelMappingTest, DepthsThatDifferOrBreakAreNeverExact) {
    Matrix perspective = pixelSpace();
    perspective.m[2][3] = 1.0f;  // w grows with z
    std::vector<Vertex> v = rect(9.5f, 19.5f, 41.5f, 35.5f, 0, 0, 32, 16);
    EXPECT_TRUE(exact(v, perspective));
    v[3].z = 0.5f;
    EXPECT_FALSE(exact(v, perspective));
    v[3].z = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(exact(v, perspective));
    v[3].z = -1.0f;  // behind the eye: w 0
    EXPECT_FALSE(exact(v, perspective));
    EXPECT_FALSE(exact(std::vector<Vertex>(v.begin(), v.begin() + 2))) << "too few vertices";
}
