#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "TestSounds.h"
#include "platform/AudioMixer.h"
#include "platform/AudioStreamFifo.h"

namespace {

constexpr int kRate = 8000;

// A voice over `frames`, which the test keeps alive.
AudioVoice sampleVoice(const std::vector<float>& frames, int channels, float ownRate = kRate) {
    AudioVoice v;
    v.frames = frames.data();
    v.frameCount = static_cast<std::uint32_t>(frames.size() / channels);
    v.channels = channels;
    v.ownRate = ownRate;
    v.play(true);
    return v;
}

std::vector<float> mix(AudioMixer& mixer, std::vector<AudioVoice*> voices, int frames) {
    std::vector<float> out(static_cast<std::size_t>(frames) * 2);
    mixer.mix(voices, out);
    return out;
}

float left(const std::vector<float>& out, int frame) { return out[2 * frame]; }
float right(const std::vector<float>& out, int frame) { return out[2 * frame + 1]; }

TEST(AudioMixerTest, MonoSourcesPanAtConstantPowerAndStereoSourcesByBalance) {
    AudioMixer mixer(kRate);
    const std::vector<float> mono(1000, 0.5f);
    const std::vector<float> stereo = [] {
        std::vector<float> s;
        for (int i = 0; i < 1000; ++i) s.insert(s.end(), {0.5f, 0.25f});
        return s;
    }();
    struct Case {
        float pan;
        float monoLeft, monoRight, stereoLeft, stereoRight;
    };
    const float c = 0.5f * std::cos(std::numbers::pi_v<float> / 4);
    for (const Case& k :
         {Case{0.0f, c, c, 0.5f, 0.25f}, Case{-1.0f, 0.5f, 0.0f, 0.5f, 0.0f}, Case{1.0f, 0.0f, 0.5f, 0.0f, 0.25f},
          Case{0.5f, 0.5f * std::cos(3 * std::numbers::pi_v<float> / 8),
               0.5f * std::sin(3 * std::numbers::pi_v<float> / 8), 0.25f, 0.25f}}) {
        AudioVoice m = sampleVoice(mono, 1);
        AudioVoice s = sampleVoice(stereo, 2);
        m.pan.set(k.pan);
        s.pan.set(k.pan);
        const auto outMono = mix(mixer, {&m}, 100);
        const auto outStereo = mix(mixer, {&s}, 100);
        for (int f : {0, 57, 99}) {
            EXPECT_NEAR(left(outMono, f), k.monoLeft, 1e-5) << "pan " << k.pan;
            EXPECT_NEAR(right(outMono, f), k.monoRight, 1e-5) << "pan " << k.pan;
            EXPECT_NEAR(left(outStereo, f), k.stereoLeft, 1e-5) << "pan " << k.pan;
            EXPECT_NEAR(right(outStereo, f), k.stereoRight, 1e-5) << "pan " << k.pan;
        }
        // Constant power: a mono source is as loud wherever it stands.
        EXPECT_NEAR(left(outMono, 50) * left(outMono, 50) + right(outMono, 50) * right(outMono, 50), 0.25f, 1e-5);
    }
}

TEST(AudioMixerTest, VolumeGroupVolumesAndTheLimiterScaleTheSum) {
    AudioMixer mixer(kRate);
    const std::vector<float> dc(2000, 0.8f);  // stereo, so pan leaves the level alone
    AudioVoice a = sampleVoice(dc, 2);
    a.volume.set(0.5f);
    EXPECT_NEAR(left(mix(mixer, {&a}, 10), 5), 0.4f, 1e-6);

    AudioVoice b = sampleVoice(dc, 2);
    AudioVoice s = sampleVoice(dc, 2);
    s.group = AudioVoice::Group::kStream;  // a stream group voice reading frames directly is fine here
    mixer.setGroupVolume(AudioVoice::Group::kSample, 0.25f);
    mixer.setGroupVolume(AudioVoice::Group::kStream, 0.0f);
    EXPECT_NEAR(left(mix(mixer, {&b, &s}, 10), 5), 0.2f, 1e-6);

    mixer.setGroupVolume(AudioVoice::Group::kSample, 1.0f);
    AudioVoice c = sampleVoice(dc, 2), d = sampleVoice(dc, 2);
    EXPECT_NEAR(left(mix(mixer, {&c, &d}, 10), 5), AudioLimiter::kCeiling, 1e-6);  // 1.6, limited
}

TEST(AudioMixerTest, ResamplingStepsThroughTheSourceAtTheRatioOfRates) {
    AudioMixer mixer(kRate);
    std::vector<float> ramp(4000);
    for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<float>(i) / 4096.0f;
    // Its own rate twice the output's: every second frame.
    AudioVoice fast = sampleVoice(ramp, 1, 2 * kRate);
    fast.pan.set(-1.0f);
    auto out = mix(mixer, {&fast}, 100);
    for (int f : {0, 1, 10, 99}) EXPECT_NEAR(left(out, f), ramp[2 * f], 1e-6);
    // The frequency attribute overrides it: half the output rate gives midpoints.
    AudioVoice slow = sampleVoice(ramp, 1, 2 * kRate);
    slow.pan.set(-1.0f);
    slow.frequency.set(kRate / 2.0f);
    out = mix(mixer, {&slow}, 100);
    EXPECT_NEAR(left(out, 6), ramp[3], 1e-6);
    EXPECT_NEAR(left(out, 7), (ramp[3] + ramp[4]) / 2, 1e-6);

    // A 1000 Hz tone recorded at 16 kHz, played at 8 kHz, sounds at 500 Hz.
    const auto tone = TestSounds::sine(1, 16000, 1000.0, 0.5f, 16000);
    AudioVoice t = sampleVoice(tone, 1, 16000);
    t.frequency.set(8000.0f);
    out = mix(mixer, {&t}, kRate);
    int crossings = 0;
    for (int f = 1; f < kRate; ++f) crossings += (left(out, f - 1) < 0) != (left(out, f) < 0);
    EXPECT_NEAR(crossings, 1000, 2);
}

TEST(AudioMixerTest, ASampleWithoutLoopPlaysOnceForItsLengthThenFinishes) {
    AudioMixer mixer(kRate);
    const std::vector<float> dc(300, 0.5f);
    AudioVoice v = sampleVoice(dc, 1);
    v.pan.set(-1.0f);
    const auto out = mix(mixer, {&v}, 1000);
    EXPECT_FLOAT_EQ(left(out, 298), 0.5f);
    EXPECT_EQ(left(out, 300), 0.0f);
    EXPECT_FALSE(v.playing);
    EXPECT_TRUE(v.finished);
}

TEST(AudioMixerTest, ALoopingSampleContinuesTheWaveformAcrossItsSeam) {
    AudioMixer mixer(kRate);
    // Exactly one period of 100 Hz: the frame after the last is the first again.
    const auto period = TestSounds::sine(1, kRate, 100.0, 0.9f, 80);
    for (float hz : {8000.0f, 12000.0f, 5000.0f}) {
        AudioVoice v = sampleVoice(period, 1);
        v.loop = true;
        v.pan.set(-1.0f);
        v.frequency.set(hz);
        const auto out = mix(mixer, {&v}, 1000);
        const double cyclesPerFrame = 100.0 * hz / kRate / kRate;
        for (int f = 0; f < 1000; ++f) {
            const double ideal = 0.9 * std::sin(2.0 * std::numbers::pi * cyclesPerFrame * f);
            ASSERT_NEAR(left(out, f), ideal, 0.01) << "frame " << f << " at " << hz << " Hz";
        }
        EXPECT_TRUE(v.playing);
    }
}

TEST(AudioMixerTest, VolumeSlidesAreLinearAndANewSlideReplacesTheOld) {
    AudioMixer mixer(kRate);
    const std::vector<float> dc(40000, 0.5f);
    AudioVoice v = sampleVoice(dc, 2);
    v.volume.set(0.0f);
    v.volume.slideTo(1.0f, mixer.millisecondsToFrames(1000));
    auto out = mix(mixer, {&v}, 2000);  // 250 ms
    EXPECT_NEAR(left(out, 1000), 0.0625f, 0.001f);
    EXPECT_NEAR(left(out, 1999), 0.125f, 0.001f);
    v.volume.slideTo(0.0f, mixer.millisecondsToFrames(500));
    out = mix(mixer, {&v}, 6000);
    EXPECT_NEAR(left(out, 2000), 0.0625f, 0.001f);
    EXPECT_NEAR(left(out, 4000), 0.0f, 0.002f);
    EXPECT_EQ(left(out, 5000), 0.0f);
    EXPECT_TRUE(v.playing);  // a fade to 0 itself leaves the voice playing
}

TEST(AudioMixerTest, AFadeMeantToStopEndsTheVoiceOnTheFrameTheFadeArrives) {
    AudioMixer mixer(kRate);
    const std::vector<float> dc(40000, 0.5f);
    AudioVoice v = sampleVoice(dc, 2);
    v.volume.slideTo(0.0f, 1000);
    v.stopWhenFaded = true;
    const auto out = mix(mixer, {&v}, 3000);
    EXPECT_NEAR(left(out, 500), 0.25f, 0.001f);
    EXPECT_GT(left(out, 998), 0.0f);
    EXPECT_EQ(left(out, 1000), 0.0f);
    EXPECT_FALSE(v.playing);
    EXPECT_FALSE(v.finished);  // stopped, not played out
}

TEST(AudioMixerTest, AStreamVoicePlaysItsFifoWaitsWhenItRunsDryAndEndsWithIt) {
    AudioMixer mixer(kRate);
    AudioStreamFifo fifo(1, 4096);
    std::vector<float> ramp(3000);
    for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<float>(i + 1) / 4096.0f;
    fifo.write(ramp.data(), 1000);
    AudioVoice v;
    v.group = AudioVoice::Group::kStream;
    v.fifo = &fifo;
    v.channels = 1;
    v.ownRate = kRate;
    v.pan.set(-1.0f);
    v.play(true);
    auto out = mix(mixer, {&v}, 1500);
    EXPECT_FLOAT_EQ(left(out, 998), ramp[998]);
    EXPECT_EQ(left(out, 1200), 0.0f);  // ran dry: silence, still playing
    EXPECT_TRUE(v.playing);
    // More frames: it goes on exactly where it stopped.
    fifo.write(ramp.data() + 1000, 2000);
    fifo.ended = true;
    out = mix(mixer, {&v}, 2500);
    EXPECT_FLOAT_EQ(left(out, 0), ramp[999]);
    EXPECT_FLOAT_EQ(left(out, 1), ramp[1000]);
    EXPECT_FLOAT_EQ(left(out, 2000), ramp[2999]);
    EXPECT_EQ(left(out, 2001), 0.0f);
    EXPECT_FALSE(v.playing);
    EXPECT_TRUE(v.finished);
    EXPECT_EQ(fifo.consumedTotal, 3000u);
}

}  // namespace
