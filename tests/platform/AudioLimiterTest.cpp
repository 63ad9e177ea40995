// The output limiter: a quiet mix passes bit for bit, a loud one never reaches the
// ceiling, both channels keep their balance, and the level comes back once the loud
// part is over.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <vector>

#include "platform/AudioLimiter.h"

namespace {
constexpr int kRate = 44100;

// Interleaved stereo: a sine of `amplitude` on the left, half of it on the right.
std::vector<float> tone(float amplitude, int frames) {
    std::vector<float> out(static_cast<std::size_t>(frames) * 2);
    for (int f = 0; f < frames; ++f) {
        const auto s = amplitude * static_cast<float>(std::sin(2.0 * std::numbers::pi * 440.0 * f / kRate));
        out[2 * f] = s;
        out[2 * f + 1] = 0.5f * s;
    }
    return out;
}

float peak(const std::vector<float>& samples, std::size_t from = 0) {
    float p = 0.0f;
    for (std::size_t i = from; i < samples.size(); ++i) p = std::max(p, std::fabs(samples[i]));
    return p;
}
}  // namespace

TEST(AudioLimiterTest, AQuietMixPassesUntouched) {
    AudioLimiter limiter(kRate);
    const std::vector<float> quiet = tone(AudioLimiter::kCeiling * 0.999f, kRate / 10);
    std::vector<float> out = quiet;
    limiter.process(out);
    EXPECT_EQ(out, quiet);
    EXPECT_EQ(limiter.gain(), 1.0f);
}

TEST(AudioLimiterTest, AFrameWithABrokenChannelOnEitherSideLeavesAsSilenceAndLeavesTheRestAlone) {
    AudioLimiter limiter(kRate);
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    // Each broken value in the left channel, then in the right one beside a finite sample
    // (the larger of a number and NaN may be the number), then in both.
    std::vector<float> frames = {0.5f, 0.25f, inf,  0.1f, nan,  0.1f, -inf, -0.1f, 0.1f, inf,  0.1f,
                                 nan,  -0.1f, -nan, 0.1f, -inf, nan,  nan,  inf,   nan,  0.5f, 0.25f};
    limiter.process(frames);
    std::vector<float> expected(frames.size(), 0.0f);
    expected.front() = expected[frames.size() - 2] = 0.5f;
    expected[1] = expected.back() = 0.25f;
    EXPECT_EQ(frames, expected);
    EXPECT_EQ(limiter.gain(), 1.0f);
}

TEST(AudioLimiterTest, NoSampleOfASweepOfLevelsLeavesAboveTheCeiling) {
    // A million frames at levels from a whisper to a hundred times full scale, each
    // channel its own, jumping about as a busy mix does: every sample that leaves is
    // compared with the ceiling as the float it is, with no tolerance.
    AudioLimiter limiter(kRate);
    std::vector<float> frames(2'000'000);
    std::uint32_t state = 12345;
    const auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return static_cast<float>(state >> 8) / 16777216.0f;  // [0, 1)
    };
    for (std::size_t f = 0; f < frames.size() / 2; ++f) {
        // A level that stays a while and jumps: loud stretches push the gain down, quiet
        // ones let it recover through every value in between.
        const float level = (f / 64) % 3 == 0 ? 0.5f + 100.0f * next() : 0.9f + 0.2f * next();
        frames[2 * f] = level * (next() - 0.5f) * 2.0f;
        frames[2 * f + 1] = level * (next() - 0.5f) * 2.0f;
    }
    for (std::size_t at = 0; at < frames.size(); at += 4096)
        limiter.process(std::span<float>(frames).subspan(at, std::min<std::size_t>(4096, frames.size() - at)));
    std::size_t above = 0;
    for (const float s : frames) above += std::fabs(s) > AudioLimiter::kCeiling ? 1 : 0;
    EXPECT_EQ(above, 0u);
    EXPECT_EQ(peak(frames), AudioLimiter::kCeiling);  // reached exactly, not held below it
}

TEST(AudioLimiterTest, ALoudMixStaysBelowTheCeilingWithItsBalanceAndThenRecovers) {
    AudioLimiter limiter(kRate);
    // Four times full scale, in blocks as the output callback hands them over.
    std::vector<float> loud = tone(4.0f, kRate / 2);
    for (std::size_t at = 0; at < loud.size(); at += 2048)
        limiter.process(std::span<float>(loud).subspan(at, std::min<std::size_t>(2048, loud.size() - at)));
    EXPECT_LE(peak(loud), AudioLimiter::kCeiling);
    EXPECT_GT(peak(loud), AudioLimiter::kCeiling * 0.99f);  // turned down no further than needed
    for (std::size_t f = 0; f < loud.size() / 2; ++f) ASSERT_FLOAT_EQ(loud[2 * f + 1], 0.5f * loud[2 * f]) << f;
    EXPECT_LT(limiter.gain(), 0.3f);

    // A quiet tone after it comes back to its own level within two seconds.
    std::vector<float> after = tone(0.5f, 2 * kRate);
    limiter.process(after);
    EXPECT_EQ(limiter.gain(), 1.0f);
    EXPECT_NEAR(peak(after, after.size() - kRate / 5), 0.5f, 1e-3f);
}
