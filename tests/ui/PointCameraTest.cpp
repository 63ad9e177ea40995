#include <gtest/gtest.h>

#include "support/HeadlessEngine.h"
#include "ui/PointCamera.h"

using PointCameraTest = HeadlessEngine;

TEST_F(PointCameraTest, AKeyPointNeverShowsTheSeaBed) {
    PointCamera low(0.0f, -400.0f, -320.0f);
    EXPECT_FLOAT_EQ(low.position.y, -58.0f);
    EXPECT_FLOAT_EQ(low.target.y, -58.0f);
    EXPECT_FLOAT_EQ(low.getViewRect(0.0f).bottom, -250.0f);
    PointCamera high(10.0f, 135.0f, -320.0f);
    EXPECT_FLOAT_EQ(high.position.y, 135.0f);
    EXPECT_FLOAT_EQ(high.target.x, 10.0f);
}

TEST_F(PointCameraTest, ProgressRunsOverTheBlendTimeAndStopsAtOne) {
    PointCamera key(0.0f, 0.0f, -400.0f);
    key.blendTime = 2.0;
    key.tick(0.0, 0.5);
    EXPECT_FLOAT_EQ(key.blendProgress, 0.25f);
    key.tick(0.0, 5.0);
    EXPECT_FLOAT_EQ(key.blendProgress, 1.0f);
    key.tick(0.0, 1.0);
    EXPECT_DOUBLE_EQ(key.blendElapsed, 5.5);  // complete: nothing moves any more
    PointCamera cut(0.0f, 0.0f, -400.0f);
    cut.blendTime = 0.0;
    cut.tick(0.0, 0.0);
    EXPECT_FLOAT_EQ(cut.blendProgress, 1.0f);
}
