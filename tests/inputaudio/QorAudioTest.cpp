#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <vector>

#include "../platform/TestSounds.h"
#include "AudioTestEngine.h"
#include "engine/Format.h"
#include "engine/MemoryIniFile.h"
#include "engine/Qor.h"
#include "engine/Strings.h"
#include "inputaudio/QorAudio.h"
#include "inputaudio/Sound.h"
#include "inputaudio/SoundStream.h"
#include "platform/AudioError.h"
#include "platform/AudioSystem.h"
#include "support/MixRecording.h"

namespace {

#define SKIP_WITHOUT_DISPLAY() \
    if (!AudioTestEngine::available()) GTEST_SKIP() << "set TORVANE_DISPLAY_TESTS to run the engine"

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(QorAudioTest, ErrorCodesReadAsTheirNamesAndUnknownOnesAsTextNotAFatalError) {
    EXPECT_EQ(QorAudio::getBASSErrorString(AudioError::kOk), u"BASS_OK");
    EXPECT_EQ(QorAudio::getBASSErrorString(AudioError::kUnknown), u"BASS_ERROR_UNKNOWN");
    EXPECT_EQ(QorAudio::getBASSErrorString(AudioError::kHandle), u"BASS_ERROR_HANDLE");
    EXPECT_EQ(QorAudio::getBASSErrorString(AudioError::kNoChannel), u"BASS_ERROR_NOCHAN");
    EXPECT_EQ(QorAudio::getBASSErrorString(AudioError::kBusy), u"BASS_ERROR_BUSY");
    for (int gap : {10, 13, 15, 26, 28, 30, 35, 36, 47})
        EXPECT_EQ(QorAudio::getBASSErrorString(gap), formatString(u"Unknown BASS error: %08x", gap)) << gap;
    EXPECT_EQ(QorAudio::getBASSErrorString(-2), u"Unknown BASS error: fffffffe");
}

TEST(QorAudioTest, AFreshSettingsFileGetsItsDefaultsAndTheRateIsWrittenBack) {
    SKIP_WITHOUT_DISPLAY();
    AudioTestEngine engine("dummy");
    MemoryIniFile& s = *qor->pSettings;
    EXPECT_EQ(s.getString(u"QorAudio", u"bNoAudio"), u"No");
    EXPECT_EQ(s.getInt(u"QorAudio", u"frequency"), 22050);
    EXPECT_EQ(s.getInt(u"QorAudio", u"channels"), 32);
    EXPECT_FALSE(qor->pQorAudio->muted);
    EXPECT_EQ(qor->pQorAudio->music, nullptr);
    const std::string log = engine.logText();
    EXPECT_TRUE(contains(log, "QorAudio::QorAudio(): Using BASS version 02040a08"));
    EXPECT_TRUE(contains(log, "QorAudio::QorAudio(): -1.  (default device)"));
    EXPECT_TRUE(contains(log, "QorAudio::QorAudio(): 0.  No output (driver=none) flags=ENABLED  \r\n"));
    EXPECT_TRUE(contains(log, "QorAudio::QorAudio(): Creating audio: 22050 Hz."));
    EXPECT_TRUE(contains(log, "QorAudio::QorAudio(): Attempting to initialize device -1...\r\n"));
    EXPECT_TRUE(contains(log, "...success!"));
    EXPECT_TRUE(contains(log, "\tinfo.flags: DSCAPS_CONTINUOUSRATE DSCAPS_EMULDRIVER"));
    EXPECT_TRUE(contains(log, "\t(unsupported)  DSCAPS_CERTIFIED DSCAPS_SECONDARY8BIT"));
    EXPECT_TRUE(contains(log, "\tinfo.eax: false"));
    EXPECT_TRUE(contains(log, "QorAudio::QorAudio(): Started."));

    qor->pQorAudio->frequency = 44100;  // as the sound options choose, for the next start
    const std::u16string config = Qor::getConfigFilePath();
    engine.shutDown();
    std::ifstream file(wideToUtf8(config));
    std::stringstream saved;
    saved << file.rdbuf();
    const std::string text = saved.str();
    const std::size_t section = text.find("[QorAudio]");
    ASSERT_NE(section, std::string::npos);
    EXPECT_NE(text.find("frequency=44100", section), std::string::npos) << text;
}

TEST(QorAudioTest, MutedBySettingItListsDevicesButOpensOnlyTheSilentOne) {
    SKIP_WITHOUT_DISPLAY();
    AudioTestEngine engine("dummy", "[QorAudio]\nbNoAudio=Yes\n");
    EXPECT_TRUE(qor->pQorAudio->muted);
    const std::string log = engine.logText();
    EXPECT_TRUE(contains(log, "Available audio devices: "));
    EXPECT_TRUE(contains(log, "Sound has been muted."));
    EXPECT_TRUE(contains(log, "Attempting to initialize device 0 (mute)..."));
    EXPECT_FALSE(contains(log, "Attempting to initialize device -1"));
    EXPECT_FALSE(contains(log, "Creating audio"));
}

TEST(QorAudioTest, WhenNoOutputOpensEachFailureIsLoggedAndTheSilentDeviceFollows) {
    SKIP_WITHOUT_DISPLAY();
    AudioTestEngine engine("no-such-driver");
    EXPECT_TRUE(qor->pQorAudio->muted);
    const std::string log = engine.logText();
    EXPECT_TRUE(contains(log, "Attempting to initialize device -1...\r\n"));
    EXPECT_TRUE(contains(log, "... failed with 'BASS_ERROR_DRIVER'"));
    EXPECT_FALSE(contains(log, "Attempting to initialize device 1..."));
    EXPECT_TRUE(contains(log, "Attempting to initialize device 0 (mute)..."));
    EXPECT_TRUE(contains(log, "Started."));
}

TEST(QorAudioTest, SetMusicStopsTheOldAndStartsTheNewButNeverRestartsTheCurrent) {
    SKIP_WITHOUT_DISPLAY();
    AudioTestEngine engine("dummy");
    const auto ogg = TestSounds::encodeOgg(2, 22050, TestSounds::sine(2, 22050, 220.0, 0.2f, 22050 * 3));
    SoundStream menu(1, engine.writeFile("menu.ogg", ogg));
    SoundStream game(1, engine.writeFile("game.ogg", ogg));
    AudioSystem& audio = QorAudio::library();
    QorAudio& device = *qor->pQorAudio;
    device.setMusic(&menu);
    EXPECT_EQ(device.music, &menu);
    AudioTestEngine::mixFor(0.3);
    const std::uint64_t played = audio.channelGetPosition(menu.pStream, kAudioPositionBytes);
    EXPECT_GT(played, 0u);
    device.setMusic(&menu);
    EXPECT_GE(audio.channelGetPosition(menu.pStream, kAudioPositionBytes), played);
    device.setMusic(&game);
    EXPECT_EQ(audio.channelIsActive(menu.pStream), AudioActive::kStopped);
    EXPECT_EQ(audio.channelIsActive(game.pStream), AudioActive::kPlaying);
    device.setMusic(nullptr);
    EXPECT_EQ(device.music, nullptr);
    EXPECT_EQ(audio.channelIsActive(game.pStream), AudioActive::kStopped);
}

TEST(QorAudioTest, ModeStepsPauseAndResumeTheOutput) {
    SKIP_WITHOUT_DISPLAY();
    AudioTestEngine engine("dummy");
    const auto ogg = TestSounds::encodeOgg(2, 22050, TestSounds::sine(2, 22050, 220.0, 0.2f, 22050 * 3));
    SoundStream music(1, engine.writeFile("music.ogg", ogg));
    AudioSystem& audio = QorAudio::library();
    music.play(0.0f);
    AudioTestEngine::playFor(0.2);
    qor->pQorAudio->onQORmodeChange(Qor::MODE_OK, Qor::MODE_PAUSED);
    AudioTestEngine::playFor(0.1);  // let a callback that was running finish
    const std::uint64_t paused = audio.channelGetPosition(music.pStream, kAudioPositionBytes);
    AudioTestEngine::playFor(0.3);
    EXPECT_EQ(audio.channelGetPosition(music.pStream, kAudioPositionBytes), paused);
    EXPECT_EQ(audio.channelIsActive(music.pStream), AudioActive::kPlaying);
    qor->pQorAudio->onQORmodeChange(Qor::MODE_PAUSED, Qor::MODE_OK);
    EXPECT_TRUE(AudioTestEngine::playUntil(
        [&] { return audio.channelGetPosition(music.pStream, kAudioPositionBytes) > paused; }));
}

// The mix of a sound over looping music, taken from the mixer and measured.
TEST(QorAudioTest, ASoundOverTheMusicIsRecordedAtItsLevelAndForItsLength) {
    SKIP_WITHOUT_DISPLAY();
    constexpr int kRate = 22050;
    std::vector<float> recording;
    {
        AudioTestEngine engine("dummy");
        qor->bEnableDelayedLoad = false;
        // Music: 0.25 in both channels. Sound: 0.5, mono, centred: 0.354 a channel.
        SoundStream music(
            1, engine.writeFile("music.ogg",
                                TestSounds::encodeOgg(2, kRate, TestSounds::sine(2, kRate, 210.0, 0.25f, kRate))));
        Sound bang(
            0, 2,
            engine.writeFile("bang.ogg",
                             TestSounds::encodeOgg(1, kRate, TestSounds::sine(1, kRate, 630.0, 0.5f, kRate * 3 / 10))));
        EXPECT_GT(Sound::residentSoundBytes, 0);
        EXPECT_GT(SoundStream::residentStreamBytes, 0);
        MixRecording::hold();
        qor->pQorAudio->setMusic(&music);
        recording = AudioTestEngine::mixFor(0.6);
        bang.play();
        const std::vector<float> after = AudioTestEngine::mixFor(0.8);
        recording.insert(recording.end(), after.begin(), after.end());
    }
    const std::size_t frames = recording.size() / 2;
    // Level in 20 ms windows of the left channel: music alone, or music and the sound.
    const std::size_t window = kRate / 50;
    int musicWindows = 0, bothWindows = 0;
    for (std::size_t w = 0; (w + 1) * window <= frames; ++w) {
        std::vector<float> left(window);
        for (std::size_t i = 0; i < window; ++i) left[i] = recording[2 * (w * window + i)];
        const float level = TestSounds::rms(left, 0, window);
        if (std::fabs(level - 0.25f / std::sqrt(2.0f)) < 0.02f) ++musicWindows;
        if (std::fabs(level - std::sqrt(0.25f * 0.25f / 2 + 0.125f / 2)) < 0.03f) ++bothWindows;
    }
    EXPECT_GT(musicWindows, 40);
    // The sound lasts 0.3 s: 15 windows, give or take the two it only partly fills.
    EXPECT_GE(bothWindows, 12);
    EXPECT_LE(bothWindows, 16);
    EXPECT_EQ(Sound::residentSoundBytes, 0);
    EXPECT_EQ(SoundStream::residentStreamBytes, 0);
}

}  // namespace
