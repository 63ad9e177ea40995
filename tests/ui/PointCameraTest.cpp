#include <gtest/gtest.h>

#include "support/HeadlessEngine.h"
#include "ui/PointCamera.h"

using PointCameraTest = HeadlessEngine;

TEST_F(PointCameraTest, NeverShowsTheSeaBedAndCountsItsGlideUpToOne) {
    PointCamera low(0.0f, -400.0f, -320.0f);
    EXPECT_FLOAT_EQ(low.position.y, -58.0f);
    EXPECT_FLOAT_EQ(low.target.y, -58.0f);
    low.blendTime = 2.0;
    low.tick(0.0, 0.5);
    EXPECT_FLOAT_EQ(low.blendProgress, 0.25f);
    low.tick(0.0, 5.0);
    EXPECT_FLOAT_EQ(low.blendProgress, 1.0f);
    PointCamera cut(0.0f, 135.0f, -320.0f);
    EXPECT_FLOAT_EQ(cut.position.y, 135.0f);
    cut.blendTime = 0.0;
    cut.tick(0.0, 0.0);
    EXPECT_FLOAT_EQ(cut.blendProgress, 1.0f);
}
