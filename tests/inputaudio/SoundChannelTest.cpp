#include <gtest/gtest.h>

#include "../platform/TestSounds.h"
#include "AudioTestEngine.h"
#include "engine/Qor.h"
#include "inputaudio/QorAudio.h"
#include "inputaudio/Sound.h"
#include "inputaudio/SoundChannel.h"
#include "platform/AudioSystem.h"

namespace {

constexpr int kRate = 11025;

TEST(SoundChannelTest, SlideTimesAreMillisecondsTruncatedTowardZero) {
    EXPECT_EQ(SoundChannel::slideMilliseconds(0.25), 250);
    EXPECT_EQ(SoundChannel::slideMilliseconds(0.0004), 0);
    EXPECT_EQ(SoundChannel::slideMilliseconds(2.0), 2000);
    EXPECT_EQ(SoundChannel::slideMilliseconds(-0.0015), -1);
    EXPECT_EQ(SoundChannel::slideMilliseconds(1e12), 2147483647);
}

class SoundChannelEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!AudioTestEngine::available()) GTEST_SKIP() << "set TORVANE_DISPLAY_TESTS to run the engine";
        engine = std::make_unique<AudioTestEngine>("dummy");
        qor->bEnableDelayedLoad = false;
        sound = std::make_unique<Sound>(
            0, 3,
            engine->writeFile("hum.ogg",
                              TestSounds::encodeOgg(1, kRate, TestSounds::sine(1, kRate, 300.0, 0.5f, kRate))));
    }
    void TearDown() override { sound.reset(); }

    static float attribute(const SoundChannel& c, int which) {
        float value = -99.0f;
        QorAudio::library().channelGetAttribute(c.channel, which, value);
        return value;
    }

    std::unique_ptr<AudioTestEngine> engine;
    std::unique_ptr<Sound> sound;
};

TEST_F(SoundChannelEngineTest, FrequenciesUpTo100AreFactorsAndAboveAreHertz) {
    SoundChannel c(sound.get());
    c.setFrequency(100.0f, 0.0);
    EXPECT_FLOAT_EQ(attribute(c, AudioAttribute::kFrequency), 100.0f * kRate);
    c.setFrequency(101.0f, 0.0);
    EXPECT_FLOAT_EQ(attribute(c, AudioAttribute::kFrequency), 101.0f);
    c.setFrequency(0.5f, 0.0);
    EXPECT_FLOAT_EQ(attribute(c, AudioAttribute::kFrequency), 0.5f * kRate);
    c.setFrequency(-2.0f, 0.0);  // rate 0: the sample's own
    EXPECT_FLOAT_EQ(attribute(c, AudioAttribute::kFrequency), 0.0f);
    c.setPan(3.0f, 0.0);
    EXPECT_FLOAT_EQ(attribute(c, AudioAttribute::kPan), 1.0f);
    c.setPan(-0.5f, 10.0);  // a slide starts where the pan is
    EXPECT_NEAR(attribute(c, AudioAttribute::kPan), 1.0f, 0.01f);
}

TEST_F(SoundChannelEngineTest, AStartTooSoonAfterTheLastIsRefusedAndStoppedWithItsChannel) {
    AudioSystem& audio = QorAudio::library();
    AudioHandle refusedChannel;
    {
        SoundChannel first(sound.get());
        first.play();
        EXPECT_TRUE(first.started);
        sound->minReplayInterval = 60.0;
        const double firstStart = sound->lastPlayTime;
        SoundChannel second(sound.get());
        second.play();
        EXPECT_FALSE(second.started);
        EXPECT_EQ(sound->lastPlayTime, firstStart);
        EXPECT_EQ(audio.channelIsActive(first.channel), AudioActive::kPlaying);
        refusedChannel = second.channel;
        sound->play();  // the same for fire-and-forget plays
        EXPECT_EQ(sound->lastPlayTime, firstStart);
    }
    // The started one plays on without its object; the refused one never sounds.
    std::vector<AudioHandle> list;
    audio.sampleGetChannels(sound->pSample, &list);
    int playing = 0;
    for (AudioHandle h : list) playing += audio.channelIsActive(h) == AudioActive::kPlaying;
    EXPECT_EQ(playing, 1);
    EXPECT_EQ(audio.channelIsActive(refusedChannel), AudioActive::kStopped);
}

TEST_F(SoundChannelEngineTest, ANullSoundIsFatal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(SoundChannel(nullptr), ::testing::ExitedWithCode(255), "pSound != NULL");
}

}  // namespace
