// An Invasion's autosave outlives the program: the program, in a child process of its
// own, plays into a wave and is killed (SIGKILL, nothing runs on the way out); the
// next start on the same data folder continues that wave.
//
// The child is this test binary again, running only the child's half below (which
// skips itself in any other run), on the data folder the parent hands it.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "game/ContextInvasionRules.h"
#include "game/GameControllerCampaign.h"
#include "support/FrameStep.h"
#include "ui/ContextGameMode.h"
#include "ui/ContextMainGame.h"
#include "ui/MenuButton.h"
#include "ui/ProgramFixture.h"

extern char** environ;

namespace {
constexpr char kChildFolder[] = "TORVANE_KILL_TEST_DATA";  // the data folder, in the child
constexpr int kSavedWave = 6;                              // waves finished when the program dies

class InvasionKillTest : public GameProgramFixture<GameControllerCampaign> {
protected:
    ContextInvasionRules* openRules() {
        clickOn(*top<ContextMainGame>()->startGameItem);
        clickOn(*top<ContextGameMode>()->pInvasion);
        return top<ContextInvasionRules>();
    }
    std::string readyFile() const { return home.home.path + "/ready"; }
};

// Starts this binary on the child's half, on the data folder `dataHome`.
pid_t startChild(const std::string& dataHome) {
    std::vector<std::string> env = {std::string(kChildFolder) + "=" + dataHome};
    for (char** e = environ; *e; ++e)
        if (!std::string(*e).starts_with(std::string(kChildFolder) + "=")) env.emplace_back(*e);
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    std::string filter = "--gtest_filter=InvasionKillTest.ChildPlaysIntoAWaveUntilKilled";
    char* argv[] = {self.data(), filter.data(), nullptr};
    pid_t pid = -1;
    return posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv, envp.data()) == 0 ? pid : -1;
}
}  // namespace

TEST_F(InvasionKillTest, TheNextStartContinuesTheWaveTheKilledProgramWasPlaying) {
    const pid_t child = startChild(home.home.path);
    ASSERT_GT(child, 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(5);
    while (!std::filesystem::exists(readyFile()) && std::chrono::steady_clock::now() < deadline &&
           waitpid(child, nullptr, WNOHANG) == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(std::filesystem::exists(readyFile())) << "the child never reached its wave";
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);  // no shutdown save

    // The next start: the player is known, the saved wave is offered and continued.
    ASSERT_TRUE(tickUntil([this] { return topIs<ContextSplash>(); }));
    global->pContextManager->top()->bFinished = 1;
    ASSERT_TRUE(tickUntil([this] { return topIs<GameControllerIntro>(); }));
    click(20, 20);
    ASSERT_TRUE(tickUntil([this] { return topIs<ContextMainGame>(); }));
    useScriptedDevices();
    useSteppedClock(kFrameStep);
    ASSERT_TRUE(tickUntil([] { return global->pContextManager->pOverlay->level == 0.0f; }));
    ContextInvasionRules* rules = openRules();
    ASSERT_NE(rules, nullptr);
    ASSERT_FALSE(rules->pContinue->bDisabled);
    clickOn(*rules->pContinue);
    ASSERT_TRUE(leadInToPlay());
    EXPECT_TRUE(game()->bContinued);
    EXPECT_EQ(game()->wave, kSavedWave + 1);
}

// The child's half: a new player starts an Invasion, reaches a wave and plays on in it
// until the parent kills the process.
TEST_F(InvasionKillTest, ChildPlaysIntoAWaveUntilKilled) {
    const char* dataHome = std::getenv(kChildFolder);
    if (!dataHome) GTEST_SKIP() << "run by TheNextStartContinuesTheWaveTheKilledProgramWasPlaying";
    setenv("XDG_DATA_HOME", dataHome, 1);  // the parent's, with its settings
    startToTheTitle();
    useSteppedClock(kFrameStep);
    ContextInvasionRules* rules = openRules();
    ASSERT_NE(rules, nullptr);
    clickOn(*rules->pStartNew);
    ASSERT_TRUE(leadInToPlay());
    GameControllerCampaign& g = *game();
    g.wave = kSavedWave;
    g.setState(GameControllerCampaign::kNextWave);  // the autosave of the next wave
    ASSERT_TRUE(leadInToPlay());
    ASSERT_EQ(g.wave, kSavedWave + 1);
    frames(20);
    // A player's kill comes seconds later; the test does not race the disk.
    global->profiles.finishSaving();
    std::ofstream(std::string(dataHome) + "/ready") << "playing";
    for (int i = 0; i < 20000 && !ended; ++i) {
        frames(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    FAIL() << "not killed";
}
