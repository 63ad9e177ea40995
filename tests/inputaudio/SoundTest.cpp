#include <gtest/gtest.h>

#include <vector>

#include "../platform/TestSounds.h"
#include "AudioTestEngine.h"
#include "engine/Qor.h"
#include "engine/Random.h"
#include "inputaudio/QorAudio.h"
#include "inputaudio/Sound.h"
#include "platform/AudioSystem.h"
#include "render/QorGraphics.h"

namespace {

constexpr int kRate = 11025;

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!AudioTestEngine::available()) GTEST_SKIP() << "set TORVANE_DISPLAY_TESTS to run the engine";
        engine = std::make_unique<AudioTestEngine>("dummy", settings());
        qor->bEnableDelayedLoad = false;
        file = engine->writeFile("pop.ogg",
                                 TestSounds::encodeOgg(1, kRate, TestSounds::sine(1, kRate, 300.0, 0.5f, kRate / 10)));
    }
    virtual std::string settings() const { return ""; }

    // The sound's channels now, oldest first.
    static std::vector<AudioHandle> channelsOf(const Sound& sound) {
        std::vector<AudioHandle> list;
        QorAudio::library().sampleGetChannels(sound.pSample, &list);
        return list;
    }
    static float attribute(AudioHandle channel, int which) {
        float value = -99.0f;
        QorAudio::library().channelGetAttribute(channel, which, value);
        return value;
    }

    std::unique_ptr<AudioTestEngine> engine;
    std::u16string file;
};

TEST_F(SoundTest, ASampleCountsItsBytesAndIsLoadedAgainAfterALostDisplay) {
    Sound sound(0, 2, file);
    ASSERT_NE(sound.pSample, 0u);
    EXPECT_EQ(sound.info.freq, static_cast<std::uint32_t>(kRate));
    EXPECT_EQ(Sound::residentSoundBytes, static_cast<std::int32_t>(sound.info.length));
    sound.onQORmodeChange(Qor::MODE_OK, Qor::MODE_PAUSED);
    EXPECT_NE(sound.pSample, 0u);
    sound.onQORmodeChange(Qor::MODE_PAUSED, Qor::MODE_FROZEN);
    EXPECT_EQ(sound.pSample, 0u);
    EXPECT_EQ(Sound::residentSoundBytes, 0);
    sound.play();
    EXPECT_NE(sound.pSample, 0u);
    EXPECT_EQ(Sound::residentSoundBytes, static_cast<std::int32_t>(sound.info.length));
}

TEST_F(SoundTest, EachPlayDrawsOnceAndPicksItsPitchFromTheRange) {
    Sound sound(0, 3, file);
    Random::seed(1234);
    sound.play();
    Random::seed(1234);
    Random::step();
    const std::uint32_t afterOne = Random::state();
    Random::seed(1234);
    sound.play();
    EXPECT_EQ(Random::state(), afterOne);
    // No range: exactly the sample's own rate.
    EXPECT_FLOAT_EQ(attribute(channelsOf(sound).back(), AudioAttribute::kFrequency), kRate);
    sound.frequencyVariationMin = sound.frequencyVariationMax = 0.5f;
    sound.play();
    EXPECT_FLOAT_EQ(attribute(channelsOf(sound).back(), AudioAttribute::kFrequency), 1.5f * kRate);
    // Three playbacks at most: a fourth takes over, the count stays.
    sound.playAtFrequency(2.0f);
    EXPECT_EQ(channelsOf(sound).size(), 3u);
    EXPECT_FLOAT_EQ(attribute(channelsOf(sound).back(), AudioAttribute::kFrequency), 2.0f * kRate);
}

TEST_F(SoundTest, PlayAtPansByTheScreenPositionAndClampsBeyondIt) {
    Sound sound(0, 3, file);
    const float half = static_cast<float>(qor->pQorGraphics->virtualWidth / 2);
    sound.playAt({2 * half, 0, 0});
    EXPECT_FLOAT_EQ(attribute(channelsOf(sound).back(), AudioAttribute::kPan), 1.0f);
    sound.playAt({-half, 0, 0});
    EXPECT_FLOAT_EQ(attribute(channelsOf(sound).back(), AudioAttribute::kPan), -1.0f);
    sound.playAt({half / 2, 0, 0});
    EXPECT_FLOAT_EQ(attribute(channelsOf(sound).back(), AudioAttribute::kPan), 0.5f);
}

TEST_F(SoundTest, PurgeFreesASampleOnlyOnceNoChannelOfItIsLeft) {
    Sound sound(0, 2, file);
    sound.play();
    sound.purge();
    EXPECT_NE(sound.pSample, 0u);
    // The 0.1 s playback ends; its channel goes with it.
    AudioTestEngine::mixFor(0.4);
    sound.purge();
    EXPECT_EQ(sound.pSample, 0u);
    EXPECT_EQ(Sound::residentSoundBytes, 0);
}

TEST_F(SoundTest, WithDelayedLoadingAMissingFileIsFatalAtOnce) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    qor->bEnableDelayedLoad = true;
    Sound present(0, 2, file);
    EXPECT_EQ(present.pSample, 0u);
    present.play();
    EXPECT_NE(present.pSample, 0u);
    EXPECT_EXIT(Sound(0, 2, engine->writeFile("x", {}) + u".missing"), ::testing::ExitedWithCode(255),
                "verification failed");
}

class MutedSoundTest : public SoundTest {
    std::string settings() const override { return "[QorAudio]\nbNoAudio=Yes\n"; }
};

TEST_F(MutedSoundTest, NothingIsLoadedAndPlaysAreQuietlyIgnored) {
    Sound sound(0, 2, file);
    EXPECT_EQ(sound.pSample, 0u);
    sound.play();
    sound.playAt({100, 0, 0});
    sound.purge();
    EXPECT_EQ(sound.pSample, 0u);
    EXPECT_EQ(Sound::residentSoundBytes, 0);
}

}  // namespace
