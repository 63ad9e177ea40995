#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "platform/AudioMixer.h"
#include "platform/AudioStream.h"

namespace {

// A mono source holding `frames` frames of a sine with `period` frames a cycle; it can
// be told to fail its reads.
class SineSource : public AudioSource {
public:
    SineSource(std::uint32_t frames, std::uint32_t period) : length(frames), period(period) {}
    int channels() const override { return 1; }
    int rate() const override { return 8000; }
    std::uint64_t lengthFrames() const override { return length; }
    std::int64_t read(float* out, std::uint32_t frames) override {
        if (failing) return -1;
        const std::uint32_t n = std::min<std::uint64_t>(frames, length - at);
        // Odd read sizes, as a decoder gives them.
        const std::uint32_t chunk = std::min<std::uint32_t>(n, 333);
        for (std::uint32_t i = 0; i < chunk; ++i) out[i] = value(at + i);
        at += chunk;
        return chunk;
    }
    bool seek(std::uint64_t frame) override {
        at = frame;
        return true;
    }
    float value(std::uint64_t frame) const {
        return 0.5f *
               static_cast<float>(std::sin(2.0 * std::numbers::pi * static_cast<double>(frame % period) / period));
    }

    std::uint64_t length;
    std::uint32_t period;
    std::uint64_t at = 0;
    bool failing = false;
};

TEST(AudioStreamTest, ALoopingStreamPlaysOneSeamlessWaveAcrossItsLoopPoints) {
    auto source = std::make_unique<SineSource>(400, 80);  // five whole cycles
    const SineSource& s = *source;
    AudioStream stream(std::move(source), true);
    stream.decodeAhead(2000);
    stream.commitPending();
    AudioMixer mixer(8000);
    stream.voice.pan.set(-1.0f);
    stream.voice.play(true);
    AudioVoice* voices[] = {&stream.voice};
    std::vector<float> out(2 * 1900);
    mixer.mix(voices, out);
    for (int f = 0; f < 1900; ++f) ASSERT_NEAR(out[2 * f], s.value(f), 1e-6) << "frame " << f;
    // The place played is counted in the file, so it wraps with the loop.
    EXPECT_EQ(stream.playFrame(), 1900u % 400u);
}

TEST(AudioStreamTest, APositionGivenBeforePlayingIsWhereThePlayStartsAndIsReported) {
    AudioStream stream(std::make_unique<SineSource>(1000, 80), false);
    ASSERT_TRUE(stream.prepareAt(750, 2000));
    stream.restartAt();
    EXPECT_EQ(stream.playFrame(), 750u);
    stream.voice.play(false);
    AudioMixer mixer(8000);
    AudioVoice* voices[] = {&stream.voice};
    std::vector<float> out(2 * 400);
    mixer.mix(voices, out);
    // 250 frames were left: the stream plays them and ends at its length.
    EXPECT_EQ(stream.playFrame(), 1000u);
    EXPECT_FALSE(stream.voice.playing);
    EXPECT_TRUE(stream.voice.finished);
}

TEST(AudioStreamTest, EmptyOrFailingSourcesEndInsteadOfSpinning) {
    AudioStream empty(std::make_unique<SineSource>(0, 80), true);
    empty.decodeAhead(1000);
    empty.commitPending();
    EXPECT_TRUE(empty.fifo.ended);
    EXPECT_EQ(empty.fifo.available(), 0u);

    auto failing = std::make_unique<SineSource>(1000, 80);
    failing->failing = true;
    AudioStream broken(std::move(failing), true);
    broken.decodeAhead(1000);
    broken.commitPending();
    EXPECT_TRUE(broken.fifo.ended);
}

}  // namespace
