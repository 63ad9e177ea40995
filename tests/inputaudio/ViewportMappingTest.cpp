#include <gtest/gtest.h>

#include "inputaudio/ViewportMapping.h"

namespace {

ViewportMapping viewport(float left, float top, float right, float bottom) {
    ViewportMapping m;
    m.left = left;
    m.top = top;
    m.right = right;
    m.bottom = bottom;
    return m;
}

TEST(ViewportMappingTest, LetterboxedWindowsMapIntoTheVirtualScreen) {
    struct Case {
        const char* what;
        ViewportMapping m;
        float rx, ry;
        float x, y;
    };
    const Case cases[] = {
        {"plain, top left", viewport(0, 0, 800, 480), 0, 0, 0, 480},
        {"plain, bottom right", viewport(0, 0, 800, 480), 800, 480, 800, 0},
        {"wide window, bars left and right", viewport(160, 0, 1120, 576), 640, 288, 400, 240},
        {"wide window, in the left bar", viewport(160, 0, 1120, 576), 100, 288, 0, 240},
        {"tall window, bars above and below", viewport(0, 60, 400, 300), 100, 120, 200, 360},
        {"tall window, below the viewport", viewport(0, 60, 400, 300), 100, 350, 200, 0},
        {"double density", viewport(0, 0, 1600, 960), 1600, 0, 800, 480},
        {"zero width", viewport(100, 0, 100, 480), 500, 240, 0, 240},
    };
    for (const Case& c : cases) {
        const Vector3 p = c.m.toScreen({c.rx, c.ry, 7.0f});
        EXPECT_FLOAT_EQ(p.x, c.x) << c.what;
        EXPECT_FLOAT_EQ(p.y, c.y) << c.what;
        EXPECT_EQ(p.z, 7.0f) << c.what;
    }
}

TEST(ViewportMappingTest, InverseMappingReturnsToTheWindowAndClampsToTheViewport) {
    const ViewportMapping m = viewport(160, 0, 1120, 576);
    const Vector3 w = m.toWindow({400.0f, 240.0f, 0.0f});
    EXPECT_FLOAT_EQ(w.x, 640.0f);
    EXPECT_FLOAT_EQ(w.y, 288.0f);
    const Vector3 back = m.toScreen(m.toWindow({123.5f, 77.25f, 0.0f}));
    EXPECT_NEAR(back.x, 123.5f, 1e-3f);
    EXPECT_NEAR(back.y, 77.25f, 1e-3f);
    const Vector3 outside = m.toWindow({-50.0f, 900.0f, 0.0f});
    EXPECT_FLOAT_EQ(outside.x, 160.0f);
    EXPECT_FLOAT_EQ(outside.y, 0.0f);
}

}  // namespace
