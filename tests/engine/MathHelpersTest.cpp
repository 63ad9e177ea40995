#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/MathHelpers.h"
#include "engine/Vector3.h"

namespace {

TEST(MathHelpersTest, LerpClampsTButInverseLerpExtrapolates) {
    EXPECT_FLOAT_EQ(lerpClamped(10.0f, 20.0f, 0.25f), 12.5f);
    EXPECT_FLOAT_EQ(lerpClamped(10.0f, 20.0f, -1.0f), 10.0f);
    EXPECT_FLOAT_EQ(lerpClamped(10.0f, 20.0f, 3.0f), 20.0f);
    EXPECT_FLOAT_EQ(inverseLerp(10.0f, 20.0f, 30.0f), 2.0f);
    EXPECT_FLOAT_EQ(inverseLerp(20.0f, 10.0f, 15.0f), 0.5f);
    EXPECT_FLOAT_EQ(inverseLerpClamped(10.0f, 20.0f, 30.0f), 1.0f);
    EXPECT_FLOAT_EQ(inverseLerpClamped(10.0f, 20.0f, 0.0f), 0.0f);
}

TEST(MathHelpersTest, EqualEndsGiveZeroInsteadOfDividingByZero) {
    EXPECT_EQ(inverseLerp(5.0f, 5.0f, 7.0f), 0.0f);
    EXPECT_EQ(inverseLerpClamped(5.0f, 5.0f, 7.0f), 0.0f);
    EXPECT_EQ(remap(10.0f, 20.0f, 5.0f, 5.0f, 7.0f), 10.0f);
}

TEST(MathHelpersTest, RemapMapsOneRangeOntoAnother) {
    EXPECT_FLOAT_EQ(remap(10.0f, 20.0f, 0.0f, 1.0f, 2.0f), 30.0f);
    EXPECT_FLOAT_EQ(remapClamped(10.0f, 20.0f, 0.0f, 1.0f, 2.0f), 20.0f);
    EXPECT_FLOAT_EQ(remapClamped(10.0f, 20.0f, 0.0f, 1.0f, -2.0f), 10.0f);
    EXPECT_FLOAT_EQ(remap(0.0f, 100.0f, 200.0f, 100.0f, 150.0f), 50.0f);
}

TEST(MathHelpersTest, LengthsAndDistances) {
    EXPECT_FLOAT_EQ(vectorLength({3.0f, 4.0f, 12.0f}), 13.0f);
    EXPECT_FLOAT_EQ(pointDistance({1.0f, 1.0f, 1.0f}, {4.0f, -3.0f, 1.0f}), 5.0f);
    EXPECT_EQ(vectorLength({0.0f, 0.0f, 0.0f}), 0.0f);
}

TEST(MathHelpersTest, LerpColorWorksPerChannelAndTruncatesTowardZero) {
    EXPECT_EQ(lerpColor(0xFF000000u, 0xFFFFFFFFu, 0.5f), 0xFF7F7F7Fu);
    EXPECT_EQ(lerpColor(0x12345678u, 0x9ABCDEF0u, 0.0f), 0x12345678u);
    EXPECT_EQ(lerpColor(0x12345678u, 0x9ABCDEF0u, 1.0f), 0x9ABCDEF0u);
    EXPECT_EQ(lerpColor(0x000000FFu, 0x00000000u, 0.5f), 0x0000007Fu);  // 127.5 falls to 127
}

TEST(MathHelpersTest, LerpColorOutsideZeroToOneWrapsWithinEachChannel) {
    // -2.55 truncates to -2, whose low byte is FE; a floor would give FD.
    EXPECT_EQ(lerpColor(0x00000000u, 0x000000FFu, -0.01f), 0x000000FEu);
    // 510 keeps its low byte and does not carry into green.
    EXPECT_EQ(lerpColor(0x00000000u, 0x000000FFu, 2.0f), 0x000000FEu);
}

TEST(MathHelpersTest, LerpColorWithUnrepresentableResultsGivesZeroChannels) {
    EXPECT_EQ(lerpColor(0x00000000u, 0xFFFFFFFFu, 1e30f), 0u);
    EXPECT_EQ(lerpColor(0x00000000u, 0xFFFFFFFFu, std::numeric_limits<float>::quiet_NaN()), 0u);
    EXPECT_EQ(lerpColor(0x80808080u, 0x80808080u, std::numeric_limits<float>::infinity()), 0u);
}

}  // namespace
