#include <gtest/gtest.h>

#include "inputaudio/ViewportMapping.h"

namespace {

TEST(ViewportMappingTest, LetterboxedWindowsMapIntoTheVirtualScreenAndBack) {
    struct Case {
        float left, top, right, bottom;  // the viewport in drawable pixels
        float rx, ry, x, y;
    };
    const Case cases[] = {
        {0, 0, 800, 480, 0, 0, 0, 480},           // y grows upwards
        {160, 0, 1120, 576, 640, 288, 400, 240},  // bars left and right
        {160, 0, 1120, 576, 100, 600, 0, 0},      // in the bar, below the window: the edges
        {0, 60, 400, 300, 100, 120, 200, 360},    // bars above and below
        {0, 0, 1600, 960, 1600, 0, 800, 480},     // double density
        {100, 0, 100, 480, 500, 240, 0, 240},     // zero width
    };
    for (const Case& c : cases) {
        ViewportMapping m;
        m.left = c.left, m.top = c.top, m.right = c.right, m.bottom = c.bottom;
        const Vector3 p = m.toScreen({c.rx, c.ry, 7.0f});
        EXPECT_FLOAT_EQ(p.x, c.x) << c.rx;
        EXPECT_FLOAT_EQ(p.y, c.y) << c.ry;
        EXPECT_EQ(p.z, 7.0f);
        if (c.rx < c.left || c.rx > c.right || c.ry < c.top || c.ry > c.bottom || c.left == c.right) continue;
        const Vector3 back = m.toWindow(p);
        EXPECT_FLOAT_EQ(back.x, c.rx);
        EXPECT_FLOAT_EQ(back.y, c.ry);
    }
}

}  // namespace
