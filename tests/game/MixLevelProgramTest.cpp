// The program's sound as it is heard, recorded from the running program: the title's
// music keeps its level, and the busiest scene of an Invasion (a late wave at four times
// its speed, enemies crashing and bombing, the cannon firing) never reaches full scale.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "game/ContextInvasionRules.h"
#include "game/GameControllerCampaign.h"
#include "support/MixRecording.h"
#include "ui/ContextGameMode.h"
#include "ui/MenuButton.h"
#include "ui/ProgramFixture.h"

namespace {
using State = GameControllerCampaign::State;

// The title's music as the mixer played it before its output had a limiter (two runs:
// peak -14.35 dBFS both times, RMS -30.32 and -30.25 dBFS), measured over the same span:
// its level must not move by more than 1 dB.
constexpr double kMenuPeakDb = -14.35;
constexpr double kMenuRmsDb = -30.3;

double decibels(double level) { return 20.0 * std::log10(std::max(level, 1e-9)); }

class MixLevelProgramTest : public GameProgramFixture<GameControllerCampaign> {
protected:
    void SetUp() override {
        recording.begin(home.file("mix.raw"));
        GameProgramFixture::SetUp();
    }
    void TearDown() override {
        GameProgramFixture::TearDown();
        recording.end();
    }
    // What the program plays over the next `seconds` of wall time, its frames run as
    // fast as they come, `eachFrame` before every one.
    template <class F>
    std::vector<float> recordFor(double seconds, F eachFrame) {
        const std::size_t from = recording.size();
        const Uint32 until = SDL_GetTicks() + static_cast<Uint32>(seconds * 1000.0);
        while (SDL_GetTicks() < until && !ended) {
            eachFrame();
            frames(1);
        }
        return recording.samples(from, recording.size());
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
    recordFor(0.5, [] {});  // what was queued before the title's music
    const std::vector<float> menu = recordFor(8.0, [] {});
    ASSERT_GT(menu.size(), 22050u * 2 * 6);  // the lowest output rate
    const double menuPeak = decibels(peak(menu)), menuRms = decibels(MixRecording::rms(menu));
    std::printf("menu music: peak %.2f dBFS, RMS %.2f dBFS\n", menuPeak, menuRms);
    EXPECT_NEAR(menuPeak, kMenuPeakDb, 1.0);
    EXPECT_NEAR(menuRms, kMenuRmsDb, 1.0);

    clickOn(*top<ContextMainGame>()->startGameItem);
    ASSERT_NE(top<ContextGameMode>(), nullptr);
    clickOn(*top<ContextGameMode>()->pInvasion);
    ASSERT_NE(top<ContextInvasionRules>(), nullptr);
    clickOn(*top<ContextInvasionRules>()->pStartNew);
    ASSERT_TRUE(playUntil([this] { return playing(); }, 5000));
    GameControllerCampaign& g = *game();
    g.wave = 43;
    g.setState(State::kNextWave);
    g.speed = 4.0;
    ASSERT_TRUE(playUntil([this] { return playing(); }, 5000));

    // The fire key goes down every other frame; tips are closed by it too.
    int frame = 0;
    const std::vector<float> busy =
        recordFor(20.0, [this, &frame] { devices->keys[kFireKey] = ++frame % 2 ? 0x80 : 0; });
    ASSERT_GT(busy.size(), 22050u * 2 * 15);
    std::printf("busy wave: peak %.2f dBFS, RMS %.2f dBFS, %ld of %zu samples at full scale\n", decibels(peak(busy)),
                decibels(MixRecording::rms(busy)), clipped(busy), busy.size());
    EXPECT_EQ(clipped(busy), 0);
}
