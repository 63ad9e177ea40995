#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "Envelope.h"

namespace {

constexpr double kRate = 1000.0;  // one sample per millisecond keeps the arithmetic readable

std::vector<double> run(Envelope& env, int samples) {
    std::vector<double> out;
    for (int i = 0; i < samples; ++i) out.push_back(env.next());
    return out;
}

TEST(EnvelopeTest, AttackRisesFromSilenceToFullLevel) {
    Envelope env({0.010, 0.0, 0.0, 1.0, 0.05}, kRate);
    const auto out = run(env, 12);
    EXPECT_DOUBLE_EQ(out[0], 0.0);
    EXPECT_NEAR(out[5], 0.5, 1e-9);
    EXPECT_DOUBLE_EQ(out[10], 1.0);
    EXPECT_DOUBLE_EQ(out[11], 1.0);
}

TEST(EnvelopeTest, ZeroAttackStartsAtFullLevel) {
    Envelope env({0.0, 0.0, 0.0, 1.0, 0.05}, kRate);
    EXPECT_DOUBLE_EQ(env.next(), 1.0);
}

TEST(EnvelopeTest, DecayReachesTheSustainLevelWithinItsTime) {
    Envelope env({0.0, 0.0, 0.100, 0.25, 0.05}, kRate);
    const auto out = run(env, 101);
    EXPECT_GT(out[50], 0.25);
    EXPECT_NEAR(out[100], 0.25, 0.75 / 1000.0 + 1e-6);
    for (std::size_t i = 1; i < out.size(); ++i) EXPECT_LE(out[i], out[i - 1]);
}

TEST(EnvelopeTest, HoldKeepsFullLevelBeforeTheDecay) {
    Envelope env({0.0, 0.020, 0.100, 0.0, 0.05}, kRate);
    const auto out = run(env, 25);
    EXPECT_DOUBLE_EQ(out[19], 1.0);
    EXPECT_LT(out[24], 1.0);
}

TEST(EnvelopeTest, NoteOffDuringTheAttackReleasesFromTheLevelReachedWithoutAJump) {
    Envelope env({0.100, 0.0, 0.0, 1.0, 0.050}, kRate);
    run(env, 30);
    const double reached = env.level();
    env.noteOff();
    const double first = env.next();
    EXPECT_NEAR(first, reached, 1e-12);
    EXPECT_LT(env.next(), first);
}

TEST(EnvelopeTest, ReleaseEndsInExactSilenceAndFinishes) {
    Envelope env({0.0, 0.0, 0.0, 1.0, 0.020}, kRate);
    run(env, 5);
    env.noteOff();
    const auto out = run(env, 30);
    EXPECT_TRUE(env.finished());
    EXPECT_DOUBLE_EQ(out.back(), 0.0);
    EXPECT_DOUBLE_EQ(env.next(), 0.0);
    env.noteOff();  // a second note-off after the end changes nothing
    EXPECT_TRUE(env.finished());
}

TEST(EnvelopeTest, ZeroReleaseStillFadesOverAMillisecond) {
    Envelope env({0.0, 0.0, 0.0, 1.0, 0.0}, 48000.0);
    env.next();
    env.noteOff();
    EXPECT_GT(env.next(), 0.5);  // not cut to zero at once: that would click
    for (int i = 0; i < 48; ++i) env.next();
    EXPECT_TRUE(env.finished());
}

}  // namespace
