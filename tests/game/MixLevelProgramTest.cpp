// The program's sound as it is heard, recorded from the running program: the title's
// music keeps its level, and the busiest scene of an Invasion (a late wave at four times
// its speed, enemies crashing and bombing, the cannon firing) never reaches full scale.
// Only the sound is looked at: the program runs in its smallest window, and the waits
// before the waves are hurried.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "game/ContextInvasionRules.h"
#include "game/GameControllerCampaign.h"
#include "inputaudio/QorAudio.h"
#include "inputaudio/SoundStream.h"
#include "support/FrameStep.h"
#include "support/MixRecording.h"
#include "ui/ContextGameMode.h"
#include "ui/MenuButton.h"
#include "ui/ProgramFixture.h"

namespace {
using State = GameControllerCampaign::State;

// The title's music over its first eight seconds, as the mixer played it without the
// limiter at its output: its level must not move by more than 1 dB.
constexpr double kMenuPeakDb = -14.35;
constexpr double kMenuRmsDb = -29.94;

double decibels(double level) { return 20.0 * std::log10(std::max(level, 1e-9)); }

class MixLevelProgramTest : public SmallWindow<GameProgramFixture<GameControllerCampaign>> {
protected:
    void SetUp() override {
        recording.begin();
        SmallWindow::SetUp();
    }
    void TearDown() override {
        GameProgramFixture::TearDown();
        recording.end();
    }
    // What the program plays over the next `seconds`, a frame's worth after each of its
    // frames, `eachFrame` before every one.
    template <class F>
    std::vector<float> recordFor(double seconds, F eachFrame) {
        return MixRecording::record(seconds, kFrameStep, [&] {
            eachFrame();
            frames(1);
        });
    }
    static float peak(const std::vector<float>& samples) {
        float p = 0.0f;
        for (float s : samples) p = std::max(p, std::fabs(s));
        return p;
    }
    static long clipped(const std::vector<float>& samples) {
        return std::count_if(samples.begin(), samples.end(), [](float s) { return std::fabs(s) >= 1.0f; });
    }
    MixRecording recording;
};
}  // namespace

TEST_F(MixLevelProgramTest, TheMenuMusicKeepsItsLevelAndABusyWaveNeverClips) {
    startToTheTitle();
    // The music from its start, alone: how far it had got depends on how long the
    // start-up took.
    useSteppedClock(kFrameStep);
    SoundStream* music = qor->audio().music;
    ASSERT_NE(music, nullptr);
    QorAudio::library().stop();
    music->play(0.0f);
    const std::vector<float> menu = recordFor(8.0, [] {});
    const double menuPeak = decibels(peak(menu)), menuRms = decibels(MixRecording::rms(menu));
    std::printf("menu music: peak %.2f dBFS, RMS %.2f dBFS\n", menuPeak, menuRms);
    EXPECT_NEAR(menuPeak, kMenuPeakDb, 1.0);
    EXPECT_NEAR(menuRms, kMenuRmsDb, 1.0);

    clickOn(*top<ContextMainGame>()->startGameItem);
    ASSERT_NE(top<ContextGameMode>(), nullptr);
    clickOn(*top<ContextGameMode>()->pInvasion);
    ASSERT_NE(top<ContextInvasionRules>(), nullptr);
    clickOn(*top<ContextInvasionRules>()->pStartNew);
    ASSERT_TRUE(leadInToPlay());
    GameControllerCampaign& g = *game();
    g.wave = 43;
    g.setState(State::kNextWave);
    g.speed = 4.0;
    ASSERT_TRUE(leadInToPlay());

    // The fire key goes down every other frame; tips are closed by it too.
    int frame = 0;
    const std::vector<float> busy =
        recordFor(20.0, [this, &frame] { devices->keys[kFireKey] = ++frame % 2 ? 0x80 : 0; });
    std::printf("busy wave: peak %.2f dBFS, RMS %.2f dBFS, %ld of %zu samples at full scale\n", decibels(peak(busy)),
                decibels(MixRecording::rms(busy)), clipped(busy), busy.size());
    EXPECT_EQ(clipped(busy), 0);
}
