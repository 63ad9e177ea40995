#include <gtest/gtest.h>

#include "../platform/TestSounds.h"
#include "AudioTestEngine.h"
#include "engine/Qor.h"
#include "inputaudio/QorAudio.h"
#include "inputaudio/SoundStream.h"
#include "platform/AudioSystem.h"
#include "support/MixRecording.h"

namespace {

constexpr int kRate = 22050;

class SoundStreamTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!AudioTestEngine::available()) GTEST_SKIP() << "set TORVANE_DISPLAY_TESTS to run the engine";
        engine = std::make_unique<AudioTestEngine>("dummy", settings());
        MixRecording::hold();  // positions move only as the test mixes
        qor->bEnableDelayedLoad = false;
        file = engine->writeFile("music.ogg",
                                 TestSounds::encodeOgg(2, kRate, TestSounds::sine(2, kRate, 210.0, 0.3f, 4 * kRate)));
    }
    virtual std::string settings() const { return ""; }

    static std::uint64_t position(const SoundStream& s) {
        return QorAudio::library().channelGetPosition(s.pStream, kAudioPositionBytes);
    }
    static std::uint64_t length(const SoundStream& s) {
        return QorAudio::library().channelGetLength(s.pStream, kAudioPositionBytes);
    }
    static int active(const SoundStream& s) { return QorAudio::library().channelIsActive(s.pStream); }
    // Bytes of `seconds` of the decoded stream.
    static std::uint64_t bytesOf(double seconds) { return static_cast<std::uint64_t>(seconds * kRate) * 8; }

    std::unique_ptr<AudioTestEngine> engine;
    std::u16string file;
};

TEST_F(SoundStreamTest, PlayStartsAStoppedStreamAndLeavesAPlayingOneAlone) {
    SoundStream music(1, file);
    ASSERT_NE(music.pStream, 0u);
    EXPECT_EQ(SoundStream::residentStreamBytes, static_cast<std::int32_t>(music.sourceData.block.size));
    EXPECT_EQ(length(music), bytesOf(4.0));
    music.play(0.0f);
    AudioTestEngine::mixFor(0.3);
    const std::uint64_t played = position(music);
    EXPECT_GT(played, bytesOf(0.1));
    music.play(0.0f);
    EXPECT_GE(position(music), played);
    QorAudio::library().channelStop(music.pStream);
    music.play(0.0f);
    EXPECT_LT(position(music), bytesOf(0.1));
}

TEST_F(SoundStreamTest, DamagedMusicIsFatalAndNamesItsFile) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::u16string damaged = engine->writeFile("damaged.ogg", {'O', 'g', 'g', 'S', 0, 2, 0xFF, 0x13});
    EXPECT_EXIT(SoundStream(0, damaged), ::testing::ExitedWithCode(255),
                "Error: file '.*damaged.ogg' is damaged and cannot be played \\(BASS_ERROR_");
}

TEST_F(SoundStreamTest, PlayTakesItsStartAsAFractionOfTheLength) {
    SoundStream music(0, file);
    music.play(0.5f);
    EXPECT_NEAR(static_cast<double>(position(music)), static_cast<double>(bytesOf(2.0)), bytesOf(0.1));
    QorAudio::library().channelStop(music.pStream);
    music.play(1.5f);  // the end: a stream without loop is over at once
    AudioTestEngine::mixFor(0.1);
    EXPECT_EQ(active(music), AudioActive::kStopped);
    EXPECT_EQ(position(music), length(music));
}

TEST_F(SoundStreamTest, VolumesClampAndAFadeToZeroStopsTheStream) {
    SoundStream music(1, file);
    float volume = -1.0f;
    music.setVolume(-1.0f, 0.0);
    QorAudio::library().channelGetAttribute(music.pStream, AudioAttribute::kVolume, volume);
    EXPECT_EQ(volume, 0.0f);
    EXPECT_TRUE(music.muted);
    music.setVolume(0.5f, 0.0);
    EXPECT_FALSE(music.muted);
    music.play(0.0f);
    music.setVolume(0.0f, 0.1);
    EXPECT_TRUE(music.muted);
    EXPECT_EQ(active(music), AudioActive::kPlaying);
    AudioTestEngine::mixFor(0.4);
    EXPECT_EQ(active(music), AudioActive::kStopped);
}

TEST_F(SoundStreamTest, ALostDisplayReleasesTheStreamAndItPlaysOnFromItsPlaceAfter) {
    SoundStream music(1, file);
    music.play(0.75f);
    music.onQORmodeChange(Qor::MODE_OK, Qor::MODE_PAUSED);
    music.onQORmodeChange(Qor::MODE_PAUSED, Qor::MODE_FROZEN);
    EXPECT_EQ(music.pStream, 0u);
    EXPECT_FALSE(music.sourceData.isLoaded());
    EXPECT_EQ(SoundStream::residentStreamBytes, 0);
    EXPECT_NEAR(music.resumeFraction, 0.75f, 0.03f);
    music.onQORmodeChange(Qor::MODE_FROZEN, Qor::MODE_PAUSED);
    EXPECT_EQ(music.pStream, 0u);
    music.onQORmodeChange(Qor::MODE_PAUSED, Qor::MODE_OK);
    ASSERT_NE(music.pStream, 0u);
    EXPECT_EQ(active(music), AudioActive::kPlaying);
    EXPECT_NEAR(static_cast<double>(position(music)), static_cast<double>(bytesOf(3.0)), bytesOf(0.15));
    EXPECT_EQ(music.resumeFraction, 0.0f);
}

TEST_F(SoundStreamTest, AStreamSilencedBeforeALostDisplayStaysSilentAfter) {
    SoundStream music(1, file);
    music.play(0.5f);
    music.setVolume(0.0f, 0.0);
    music.onQORmodeChange(Qor::MODE_PAUSED, Qor::MODE_FROZEN);
    music.onQORmodeChange(Qor::MODE_PAUSED, Qor::MODE_OK);
    EXPECT_EQ(music.pStream, 0u);
}

TEST_F(SoundStreamTest, PurgeReleasesAStoppedStreamWhichThenStartsAfresh) {
    SoundStream music(1, file);
    music.play(0.5f);
    music.purge();
    EXPECT_NE(music.pStream, 0u);  // playing: kept
    QorAudio::library().channelStop(music.pStream);
    music.purge();
    EXPECT_EQ(music.pStream, 0u);
    EXPECT_FALSE(music.sourceData.isLoaded());
    music.play(0.0f);
    EXPECT_TRUE(music.sourceData.isLoaded());
    EXPECT_LT(position(music), bytesOf(0.1));
}

class MutedSoundStreamTest : public SoundStreamTest {
    std::string settings() const override { return "[QorAudio]\nbNoAudio=Yes\n"; }
};

TEST_F(MutedSoundStreamTest, ThereIsNeverAStream) {
    SoundStream music(1, file);
    music.play(0.5f);
    music.setVolume(0.3f, 1.0);
    music.onQORmodeChange(Qor::MODE_PAUSED, Qor::MODE_FROZEN);
    music.onQORmodeChange(Qor::MODE_PAUSED, Qor::MODE_OK);
    EXPECT_EQ(music.pStream, 0u);
    EXPECT_EQ(SoundStream::residentStreamBytes, 0);
}

}  // namespace
