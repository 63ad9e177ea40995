#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "Voice.h"

namespace {

constexpr double kRate = 44100.0;

std::size_t firstSound(const std::vector<float>& s, std::size_t from = 0) {
    for (std::size_t i = from; i < s.size(); ++i)
        if (std::fabs(s[i]) > 1e-6) return i;
    return s.size();
}

LayerSettings click() {
    LayerSettings l;
    l.source = LayerSettings::Source::Noise;
    l.envelope = {0.0, 0.0, 0.002, 0.0, 0.001};
    return l;
}

TEST(VoiceTest, StartDelaysTheLayer) {
    LayerSettings l = click();
    l.start = 0.1;
    std::vector<float> out(8820, 0.0f);
    Voice(l, kRate).render({440.0, 1.0, 1.0, 1}, out, 0);
    EXPECT_EQ(firstSound(out), 4410u);
}

TEST(VoiceTest, RepeatStrikesAtItsIntervalAndFadesByItsStep) {
    LayerSettings l = click();
    l.repeat.count = 3;
    l.repeat.every = 0.05;
    l.repeat.gainStep = 0.5;
    std::vector<float> out(8820, 0.0f);
    Voice(l, kRate).render({440.0, 1.0, 1.0, 1}, out, 0);
    EXPECT_EQ(firstSound(out, 1000), 2205u);
    EXPECT_EQ(firstSound(out, 3000), 4410u);
    EXPECT_EQ(firstSound(out, 5000), out.size());  // only three strikes
}

TEST(VoiceTest, NeverWritesPastTheBuffer) {
    LayerSettings l = click();
    l.envelope = {0.0, 0.0, 0.0, 1.0, 0.5};
    std::vector<float> out(100, 0.0f);
    EXPECT_EQ(Voice(l, kRate).render({440.0, 10.0, 1.0, 1}, out, 90), 10u);
    EXPECT_EQ(Voice(l, kRate).render({440.0, 10.0, 1.0, 1}, out, 500), 0u);
}

TEST(VoiceTest, NoteFrequencyTimesRatioSetsThePitch) {
    LayerSettings l;
    l.ratio = 2.0;
    l.envelope = {0.0, 0.0, 0.0, 1.0, 0.001};
    std::vector<float> out(44100, 0.0f);
    Voice(l, kRate).render({110.0, 2.0, 1.0, 1}, out, 0);
    int crossings = 0;
    for (std::size_t i = 1; i < out.size(); ++i) crossings += (out[i - 1] < 0.0f) != (out[i] < 0.0f);
    EXPECT_NEAR(crossings, 440, 2);  // 220 Hz: two crossings per cycle
}

}  // namespace

namespace {

std::vector<float> steadyTone(LayerSettings::LfoShape shape, std::uint64_t seed) {
    LayerSettings l;
    l.pitch = Curve(1000.0);
    l.envelope = {0.0, 0.0, 0.0, 1.0, 0.001};
    l.tremoloRate = 20.0;
    l.tremoloDepth = 0.5;
    l.tremoloShape = shape;
    std::vector<float> out(22050, 0.0f);
    Voice(l, kRate).render({440.0, 1.0, 1.0, seed}, out, 0);
    return out;
}

TEST(VoiceTest, RandomTremoloIsRepeatableAndStaysWithinItsDepth) {
    const auto a = steadyTone(LayerSettings::LfoShape::Random, 7);
    EXPECT_EQ(a, steadyTone(LayerSettings::LfoShape::Random, 7));
    EXPECT_NE(a, steadyTone(LayerSettings::LfoShape::Random, 8));
    float lowest = 1.0f, highest = 0.0f;
    for (std::size_t from = 0; from + 44 <= a.size(); from += 44) {  // peak of each cycle of the 1 kHz tone
        float p = 0.0f;
        for (std::size_t i = from; i < from + 44; ++i) p = std::max(p, std::fabs(a[i]));
        lowest = std::min(lowest, p);
        highest = std::max(highest, p);
    }
    EXPECT_GE(lowest, 0.49f);
    EXPECT_LE(highest, 1.01f);
    EXPECT_GT(highest - lowest, 0.1f);  // it does move
}

}  // namespace
