#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "Mastering.h"

namespace {

constexpr double kRate = 44100.0;

std::vector<float> sine(double freq, double seconds, double amplitude) {
    std::vector<float> s(static_cast<std::size_t>(seconds * kRate));
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * freq * i / kRate));
    return s;
}

TEST(MasteringTest, LimiterHoldsEveryPeakUnderTheCeilingEvenAtTheVeryStart) {
    std::vector<float> s = sine(200.0, 0.5, 0.2);
    s[0] = 3.0f;  // a peak inside the first look-ahead window
    s[10] = -2.5f;
    s[12000] = 4.0f;
    Mastering::limit(s, 1, kRate, 0.8);
    EXPECT_LE(Mastering::peak(s), 0.8 + 1e-6);
}

TEST(MasteringTest, LimiterLeavesQuietPassagesAlone) {
    std::vector<float> s = sine(200.0, 1.0, 0.5);
    const std::vector<float> before = s;
    Mastering::limit(s, 1, kRate, 0.8);
    EXPECT_EQ(s, before);
}

TEST(MasteringTest, LimiterTreatsStereoFramesTogether) {
    std::vector<float> s(2000, 0.1f);
    s[1001] = 2.0f;  // right channel of frame 500
    Mastering::limit(s, 2, kRate, 0.8);
    EXPECT_LE(Mastering::peak(s), 0.8 + 1e-6);
    EXPECT_NEAR(s[1000] / 0.1f, s[1001] / 2.0f, 1e-6);  // both channels dipped alike
}

TEST(MasteringTest, CrossfadedLoopFlowsFromItsLastSampleIntoItsFirst) {
    // 441 Hz does not fit whole cycles into 0.3 s + a bit: without the
    // crossfade the seam would jump.
    std::vector<float> s = sine(441.0, 1.0, 0.5);
    const std::size_t loop = 13301, fade = 2000;
    double largestStep = 0.0;
    for (std::size_t i = 1; i < loop; ++i) largestStep = std::max(largestStep, double(std::fabs(s[i] - s[i - 1])));
    Mastering::crossfadeLoop(s, 1, loop, fade);
    ASSERT_EQ(s.size(), loop);
    EXPECT_LE(std::fabs(s.back() - s.front()), largestStep * 1.01);
}

TEST(MasteringTest, WrappedTailRingsOnAtTheStartOfTheLoop) {
    std::vector<float> s(10, 0.0f);
    s[7] = 0.5f;  // rings past the loop's end of 6 frames
    s[2] = 0.25f;
    Mastering::wrapTail(s, 1, 6);
    ASSERT_EQ(s.size(), 6u);
    EXPECT_FLOAT_EQ(s[1], 0.5f);
    EXPECT_FLOAT_EQ(s[2], 0.25f);
}

TEST(MasteringTest, LoudnessWeighsBassLessThanMidrange) {
    const double bass = Mastering::loudestWindowDb(sine(50.0, 1.0, 0.5), 1, kRate, 0.3);
    const double mid = Mastering::loudestWindowDb(sine(1000.0, 1.0, 0.5), 1, kRate, 0.3);
    EXPECT_NEAR(mid, 20.0 * std::log10(0.5 / std::sqrt(2.0)), 0.5);
    EXPECT_LT(bass, mid - 6.0);
}

TEST(MasteringTest, FadeOutEndsInSilence) {
    std::vector<float> s(1000, 0.5f);
    Mastering::fadeOut(s, 1, kRate, 0.005);
    EXPECT_FLOAT_EQ(s.back(), 0.0f);
    EXPECT_FLOAT_EQ(s.front(), 0.5f);
}

}  // namespace
