#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "TestSounds.h"
#include "platform/AudioError.h"
#include "platform/AudioSystem.h"

namespace {

constexpr int kRate = 22050;

// A layer on the silent device, moved on by hand: render() is the output's callback.
class AudioSystemTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(audio.init(0, kRate, 0)); }

    std::vector<float> render(int frames) {
        std::vector<float> out(static_cast<std::size_t>(frames) * 2);
        audio.render(out.data(), frames);
        return out;
    }
    AudioHandle loadTone(int maxPlaybacks, std::uint32_t flags, std::uint32_t frames = kRate / 2) {
        tone = TestSounds::encodeOgg(1, kRate, TestSounds::sine(1, kRate, 210.0, 0.5f, frames));
        return audio.sampleLoad(tone.data(), tone.size(), maxPlaybacks, flags);
    }

    AudioSystem audio;
    std::vector<std::uint8_t> tone;
};

TEST_F(AudioSystemTest, CallsBeforeInitOrAfterFreeFailWithTheInitError) {
    EXPECT_FALSE(audio.init(0, kRate, 0));
    EXPECT_EQ(audio.errorGetCode(), AudioError::kAlready);
    AudioDeviceInfo info;
    ASSERT_TRUE(audio.getDeviceInfo(0, info));
    EXPECT_EQ(info.flags, AudioDeviceFlag::kEnabled | AudioDeviceFlag::kInit);
    EXPECT_TRUE(info.driver.empty());
    const AudioHandle sample = loadTone(1, 0);
    ASSERT_NE(sample, 0u);
    ASSERT_TRUE(audio.free());
    EXPECT_EQ(audio.sampleLoad(tone.data(), tone.size(), 1, 0), 0u);
    EXPECT_EQ(audio.errorGetCode(), AudioError::kInit);
    EXPECT_FALSE(audio.update(100));
    EXPECT_FALSE(audio.free());
    // Freed with the layer; refused, not reached, once it is running again.
    ASSERT_TRUE(audio.init(0, kRate, 0));
    EXPECT_EQ(audio.sampleGetChannel(sample, false), 0u);
    EXPECT_EQ(audio.errorGetCode(), AudioError::kHandle);
}

TEST_F(AudioSystemTest, LoadsRefuseBadBytesAndBadArguments) {
    const std::vector<std::uint8_t> junk(100, 7);
    EXPECT_EQ(audio.sampleLoad(junk.data(), junk.size(), 1, 0), 0u);
    EXPECT_EQ(audio.errorGetCode(), AudioError::kFileForm);
    EXPECT_EQ(audio.streamCreate(junk.data(), junk.size(), 0), 0u);
    EXPECT_EQ(audio.errorGetCode(), AudioError::kFileForm);
    EXPECT_EQ(loadTone(0, 0), 0u);
    EXPECT_EQ(audio.errorGetCode(), AudioError::kIllegalParam);
    const AudioHandle sample = loadTone(2, 0);
    const AudioHandle channel = audio.sampleGetChannel(sample, false);
    EXPECT_FALSE(audio.channelSetAttribute(channel, 99, 1.0f));
    EXPECT_EQ(audio.errorGetCode(), AudioError::kIllegalType);
    EXPECT_FALSE(audio.channelSetAttribute(channel, AudioAttribute::kVolume, NAN));
    EXPECT_EQ(audio.errorGetCode(), AudioError::kIllegalParam);
    EXPECT_FALSE(audio.setConfig(12345, 1));
}

TEST_F(AudioSystemTest, AFullSampleTakesOverItsIdleChannelFirstThenTheLongestPlaying) {
    const AudioHandle sample = loadTone(2, AudioFlag::kSampleOverPos);
    AudioSampleInfo info;
    ASSERT_TRUE(audio.sampleGetInfo(sample, info));
    EXPECT_EQ(info.freq, static_cast<std::uint32_t>(kRate));
    EXPECT_EQ(info.length, static_cast<std::uint32_t>(kRate / 2 * 4));
    const AudioHandle first = audio.sampleGetChannel(sample, false);
    ASSERT_TRUE(audio.channelPlay(first, false));
    render(1000);
    const AudioHandle second = audio.sampleGetChannel(sample, false);
    ASSERT_TRUE(audio.channelPlay(second, false));
    render(1000);
    EXPECT_EQ(audio.sampleGetChannels(sample), 2);
    // Both play: the one that has played longer goes.
    const AudioHandle third = audio.sampleGetChannel(sample, false);
    ASSERT_NE(third, 0u);
    EXPECT_FALSE(audio.channelPlay(first, false));
    EXPECT_EQ(audio.errorGetCode(), AudioError::kHandle);
    EXPECT_EQ(audio.channelIsActive(second), AudioActive::kPlaying);
    EXPECT_EQ(audio.sampleGetChannels(sample), 2);
    // `third` has not started: it is the one taken next, though `second` plays longer.
    const AudioHandle fourth = audio.sampleGetChannel(sample, false);
    EXPECT_FALSE(audio.channelStop(third));
    EXPECT_EQ(audio.channelIsActive(second), AudioActive::kPlaying);
    EXPECT_NE(fourth, third);
    // Asked for a new one only, or loaded without take-over: no channel.
    EXPECT_EQ(audio.sampleGetChannel(sample, true), 0u);
    EXPECT_EQ(audio.errorGetCode(), AudioError::kNoChannel);
    const AudioHandle strict = loadTone(1, 0);
    ASSERT_NE(audio.sampleGetChannel(strict, false), 0u);
    EXPECT_EQ(audio.sampleGetChannel(strict, false), 0u);
    EXPECT_EQ(audio.errorGetCode(), AudioError::kNoChannel);
}

TEST_F(AudioSystemTest, HandlesOfEndedChannelsAndFreedSamplesAreRefusedNotFollowed) {
    const AudioHandle sample = loadTone(4, AudioFlag::kSampleOverPos, 1000);
    const AudioHandle ends = audio.sampleGetChannel(sample, false);
    const AudioHandle stopped = audio.sampleGetChannel(sample, false);
    audio.channelPlay(ends, false);
    audio.channelPlay(stopped, false);
    audio.channelStop(stopped);
    render(1500);
    // Played to its end: gone. Stopped by hand: still there, and plays again.
    EXPECT_EQ(audio.channelIsActive(ends), AudioActive::kStopped);
    EXPECT_EQ(audio.errorGetCode(), AudioError::kHandle);
    EXPECT_EQ(audio.sampleGetChannels(sample), 1);
    EXPECT_TRUE(audio.channelPlay(stopped, false));

    ASSERT_TRUE(audio.sampleFree(sample));
    EXPECT_FALSE(audio.channelPlay(stopped, false));
    EXPECT_EQ(audio.errorGetCode(), AudioError::kHandle);
    EXPECT_FALSE(audio.sampleFree(sample));
    EXPECT_EQ(audio.sampleGetChannels(sample), -1);
    // The slot is used again; the old handle still does not reach the new sample.
    const AudioHandle again = loadTone(1, 0);
    EXPECT_NE(again, sample);
    AudioSampleInfo info;
    EXPECT_FALSE(audio.sampleGetInfo(sample, info));
    EXPECT_EQ(audio.sampleGetChannel(sample, false), 0u);
    EXPECT_EQ(audio.errorGetCode(), AudioError::kHandle);
    for (AudioHandle junk : {0u, 0xFFFFFFFFu, 0x12345u, sample ^ 0x80000000u})
        EXPECT_FALSE(audio.channelPlay(junk, true)) << junk;
    // Nothing plays from freed frames.
    const auto out = render(500);
    EXPECT_EQ(TestSounds::peak(out, 0, out.size()), 0.0f);
}

TEST_F(AudioSystemTest, AttributesGlobalVolumesAndAFadeBelowZeroThatStops) {
    for (const int volume : {AudioConfig::kSampleVolume, AudioConfig::kStreamVolume, AudioConfig::kMusicVolume})
        EXPECT_EQ(audio.getConfig(volume), AudioConfig::kFullVolume) << "volumes start full: " << volume;
    const AudioHandle sample = loadTone(2, AudioFlag::kSampleLoop | AudioFlag::kSampleOverPos);
    const AudioHandle channel = audio.sampleGetChannel(sample, false);
    audio.channelSetAttribute(channel, AudioAttribute::kPan, -5.0f);  // clamped: full left
    audio.channelPlay(channel, false);
    auto out = render(kRate / 2);
    const float full = TestSounds::peak(out, 0, out.size());
    EXPECT_NEAR(full, 0.5f, 0.02f);
    float rightPeak = 0.0f;
    for (std::size_t i = 1; i < out.size(); i += 2) rightPeak = std::max(rightPeak, std::fabs(out[i]));
    EXPECT_EQ(rightPeak, 0.0f);

    audio.setConfig(AudioConfig::kSampleVolume, 2500);
    render(1000);  // the change ramps in over one block
    out = render(kRate / 2);
    EXPECT_NEAR(TestSounds::peak(out, 0, out.size()), full / 4, 0.01f);
    audio.setConfig(AudioConfig::kStreamVolume, AudioConfig::kFullVolume + 1);
    EXPECT_EQ(audio.getConfig(AudioConfig::kStreamVolume), AudioConfig::kFullVolume);
    audio.setConfig(AudioConfig::kSampleVolume, AudioConfig::kFullVolume);

    // A set volume below 0 is silence; a slide to below 0 fades, then stops.
    audio.channelSetAttribute(channel, AudioAttribute::kVolume, -1.0f);
    EXPECT_EQ(audio.channelIsActive(channel), AudioActive::kPlaying);
    audio.channelSetAttribute(channel, AudioAttribute::kVolume, 1.0f);
    ASSERT_TRUE(audio.channelSlideAttribute(channel, AudioAttribute::kVolume, -0.001f, 100));
    render(kRate / 20);
    EXPECT_EQ(audio.channelIsActive(channel), AudioActive::kPlaying);
    render(kRate / 20 + 300);
    EXPECT_EQ(audio.channelIsActive(channel), AudioActive::kStopped);
    EXPECT_EQ(audio.errorGetCode(), AudioError::kOk);  // stopped, not gone
}

TEST_F(AudioSystemTest, StreamsReportBytePositionsLoopAndEndInPlace) {
    // 1.5 s of a tone with whole cycles (210 frames each).
    const std::uint32_t frames = 210 * 157;
    const auto ogg = TestSounds::encodeOgg(2, kRate, TestSounds::sine(2, kRate, 105.0, 0.4f, frames));
    const AudioHandle looping = audio.streamCreate(ogg.data(), ogg.size(), AudioFlag::kSampleLoop);
    const AudioHandle once = audio.streamCreate(ogg.data(), ogg.size(), 0);
    ASSERT_NE(looping, 0u);
    const std::uint64_t bytesPerFrame = 2 * sizeof(float);
    EXPECT_EQ(audio.channelGetLength(looping, kAudioPositionBytes), frames * bytesPerFrame);
    EXPECT_EQ(audio.channelGetLength(looping, 1), kAudioNoPosition);
    EXPECT_EQ(audio.errorGetCode(), AudioError::kIllegalType);

    ASSERT_TRUE(audio.channelPlay(looping, true));
    ASSERT_TRUE(audio.channelSetPosition(looping, (frames - 1000) * bytesPerFrame, kAudioPositionBytes));
    ASSERT_TRUE(audio.channelPlay(once, true));
    ASSERT_TRUE(audio.channelSetPosition(once, (frames - 1000) * bytesPerFrame, kAudioPositionBytes));
    EXPECT_EQ(audio.channelGetPosition(looping, kAudioPositionBytes), (frames - 1000) * bytesPerFrame);
    std::vector<float> out;
    for (int i = 0; i < 10; ++i) {
        audio.update(100);
        const auto part = render(300);
        out.insert(out.end(), part.begin(), part.end());
    }
    // 3000 frames on: the loop is 2000 into its start again, the other stopped at its end.
    EXPECT_EQ(audio.channelGetPosition(looping, kAudioPositionBytes), 2000 * bytesPerFrame);
    EXPECT_EQ(audio.channelIsActive(once), AudioActive::kStopped);
    EXPECT_EQ(audio.channelGetPosition(once, kAudioPositionBytes), frames * bytesPerFrame);
    EXPECT_FALSE(audio.channelSetPosition(once, (frames + 1) * bytesPerFrame, kAudioPositionBytes));
    EXPECT_EQ(audio.errorGetCode(), AudioError::kPosition);
    // Both play the same tone in step until `once` ends (1000 frames in, where the loop
    // passes its seam): the waveform goes on unbroken, at half the level after (the sum
    // stays below the output limiter's ceiling).
    double worst = 0.0;
    for (int f = 0; f < 3000; ++f) {
        const double ideal = (f < 1000 ? 0.8 : 0.4) * std::sin(2.0 * std::numbers::pi * 105.0 * (f - 1000) / kRate);
        worst = std::max(worst, std::fabs(out[2 * f] - ideal));
    }
    EXPECT_LT(worst, 0.02);

    // stop() stops everything; start() does not start anything again.
    audio.stop();
    audio.start();
    EXPECT_EQ(audio.channelIsActive(looping), AudioActive::kStopped);
    EXPECT_EQ(TestSounds::peak(render(500), 0, 1000), 0.0f);
    EXPECT_TRUE(audio.streamFree(looping));
    EXPECT_FALSE(audio.channelPlay(looping, true));
}

}  // namespace
