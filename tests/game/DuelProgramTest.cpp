// The Duel inside the running program, from a fresh data folder, played with the
// player's own input: the title menu leads through the game-mode and rules screens into
// a war against the computer; the plane flies, turns and drops bombs, the computer's
// cannon fires; Escape pauses and resumes; a war ended from the pause screen is
// continued at its round; the tutorial shows its panels. And a war with the computer on
// both sides, sped up, runs through its rounds and days to the results screen and the
// Duel's high-score table.
//
// The engine's clock steps a fixed time each frame, so every run sees the same times;
// nothing here reads the window's pixels, so the program runs in its smallest window.
#include <gtest/gtest.h>

#include <string>

#include "game/Bomb.h"
#include "game/CannonShell.h"
#include "game/ContextDuelRules.h"
#include "game/ContextPaused.h"
#include "game/GameControllerDuel.h"
#include "game/GameControllerDuelTutorial.h"
#include "game/GameControllerResults.h"
#include "game/GameGlobal.h"
#include "game/InGameOverlay.h"
#include "game/Plane.h"
#include "game/PlayerData.h"
#include "support/FrameStep.h"
#include "ui/ContextGameMode.h"
#include "ui/ContextHighScores.h"
#include "ui/ContextMainGame.h"
#include "ui/ContextPopup.h"
#include "ui/FadingText.h"
#include "ui/GameConfiguration.h"
#include "ui/MenuButton.h"
#include "ui/ProgramFixture.h"

namespace {
constexpr int kEscape = 1, kLeft = 203, kFire = 57;  // the first player's default keys

class DuelProgramTest : public SmallWindow<GameProgramFixture<GameControllerDuel>> {
protected:
    ContextDuelRules* openRules() {
        clickOn(*top<ContextGameMode>()->pDuel);
        return top<ContextDuelRules>();
    }
    // Ends the game from the pause screen and opens the Duel's rules again.
    ContextDuelRules* endAndReopen() {
        tapKey(kEscape);
        clickOn(*top<ContextPaused>()->pEndGame);
        clickOn(*top<ContextPopup>()->firstButton);
        return tickUntil([this] { return top<ContextGameMode>() != nullptr; }, 100) ? openRules() : nullptr;
    }
    ContextDuelRules* toTheRules() {
        startToTheTitle();
        useSteppedClock(kFrameStep);
        clickOn(*top<ContextMainGame>()->startGameItem);
        return top<ContextGameMode>() ? openRules() : nullptr;
    }
    // A war of `days` days started from the rules, the computer on both sides, hurried;
    // its first day begins at round `rounds` + 1, as if that many were fought.
    GameControllerDuel* startAWarOfComputers(int days, int rounds) {
        ContextDuelRules* rules = toTheRules();
        if (!rules) return nullptr;
        global->configuration.difficulty = 4;
        clickOn(*rules->pStartNew);
        GameControllerDuel* g = game();
        if (!g) return nullptr;
        g->computerPlayers = 2;
        g->playerData[0]->bHuman = 0;
        g->speed = 4.0;
        g->timeScale = 4.0;
        g->days = days;
        // The first day's title is up: its first round is set up once the title has shown.
        if (!playUntil([g] { return g->state == GameControllerDuel::kBetweenRounds; }, 100)) return nullptr;
        g->round = rounds;
        return g;
    }
    int count(int list) {
        int n = 0;
        for (BasicLink* c = game()->layer(list)->firstChild; c; c = c->next) ++n;
        return n;
    }
};
}  // namespace

TEST_F(DuelProgramTest, APlayerFliesBombsPausesContinuesAndWatchesTheTutorial) {
    ContextDuelRules* rules = toTheRules();
    ASSERT_NE(rules, nullptr);
    EXPECT_TRUE(rules->pContinue->bDisabled);
    EXPECT_EQ(global->configuration.duelOpponent, 2);
    clickOn(*rules->pStartNew);
    ASSERT_TRUE(playUntil([this] { return playing(); }));
    EXPECT_EQ(game()->round, 1);

    // The plane flies on, turns on the arrow key and drops a bomb on the fire key; the
    // computer's cannon shoots at it.
    auto* plane = dynamic_cast<Plane*>(game()->playerData[0]->pVehicle.get());
    ASSERT_NE(plane, nullptr);
    const Vector3 from = plane->position;
    const float heading = plane->heading;
    devices->keys[kLeft] = 0x80;
    frames(6);
    devices->keys[kLeft] = 0;
    EXPECT_NE(plane->position.x, from.x);
    EXPECT_NE(plane->heading, heading);
    const int bombs = count(GameController::kBombList);
    tapKey(kFire);
    EXPECT_EQ(count(GameController::kBombList), bombs + 1);
    EXPECT_TRUE(playUntil([this] { return count(GameController::kCannonShellList) > 0; }, 400));

    // Escape pauses (the game stands still beneath), Escape again resumes.
    tapKey(kEscape);
    ASSERT_NE(top<ContextPaused>(), nullptr);
    const double pausedAt = game()->localTime;
    frames(10);
    EXPECT_EQ(game()->localTime, pausedAt);
    tapKey(kEscape);
    EXPECT_GT(game()->localTime, pausedAt);

    // Ended from the pause screen, the war is continued at the round it was saved at.
    const int day = game()->day, round = game()->round;
    rules = endAndReopen();
    ASSERT_NE(rules, nullptr);
    ASSERT_FALSE(rules->pContinue->bDisabled);
    clickOn(*rules->pContinue);
    ASSERT_TRUE(playUntil([this] { return playing(); }));
    EXPECT_TRUE(game()->bContinued);
    EXPECT_EQ(game()->day, day);
    EXPECT_EQ(game()->round, round);

    // The tutorial opens with its introduction; the controls and the first round follow.
    rules = endAndReopen();
    ASSERT_NE(rules, nullptr);
    clickOn(*rules->pHowToPlay);
    ASSERT_NE(dynamic_cast<GameControllerDuelTutorial*>(game()), nullptr);
    std::vector<std::u16string> titles;
    for (int i = 0; i < 400 && titles.size() < 3; ++i) {
        if (auto* panel = top<InGameOverlay>(); panel && panel->state == InGameOverlay::kShown) {
            titles.push_back(static_cast<FadingText*>(panel->pContent->firstChild)->text);
            tapKey(kFire);
        }
        frames(1);
    }
    EXPECT_EQ(titles,
              (std::vector<std::u16string>{u"Let's Go!", u"Sunrise: Attack round",
                                           u"Move the arrow pointer on the screen and your sleigh will follow it."}));
}

// The computer on both sides at four times the speed fights a war to its end, played in
// parts that each start a war from the menus: a whole war takes thousands of frames,
// minutes under the sanitizers on a busy machine. The announcements and the pauses
// between rounds and days are hurried on the controller's own clock, and the results'
// states on theirs: the same states in fewer frames.

// Rounds 1 and 2, a plane against a cannon each way round, each ended by the fight.
TEST_F(DuelProgramTest, TheComputersFightTheFirstRoundsOfADayToTheirEnds) {
    GameControllerDuel* g = startAWarOfComputers(2, 0);
    ASSERT_NE(g, nullptr);
    ASSERT_TRUE(playUntil([g] { return g->round == 3; }, 2000));
    EXPECT_EQ(g->day, 1);
}

// The day's last round, both sides flying, ends the day, and the next one starts with
// its first round and its palms standing anew.
TEST_F(DuelProgramTest, TheLastRoundOfADayEndsItAndTheNextDayBegins) {
    GameControllerDuel* g = startAWarOfComputers(2, 2);
    ASSERT_NE(g, nullptr);
    ASSERT_TRUE(playUntil([g] { return g->day == 2 && g->state == GameControllerDuel::kPlaying; }, 4000));
    EXPECT_EQ(g->round, 1);
    EXPECT_EQ(g->playerData[0]->livePalms, GameControllerDuel::kPalms);
    EXPECT_EQ(g->playerData[1]->livePalms, GameControllerDuel::kPalms);
}

// The last round of the war's last day ends the war: the results screen follows, and its
// rating enters the Duel's high-score table.
TEST_F(DuelProgramTest, TheLastRoundOfAWarEndsItWithTheResultsAndTheHighScores) {
    GameControllerDuel* g = startAWarOfComputers(1, 2);
    ASSERT_NE(g, nullptr);
    ASSERT_TRUE(playUntil([this] { return top<GameControllerResults>() != nullptr; }, 4000));
    EXPECT_EQ(g->day, 1);
    EXPECT_EQ(g->round, 3);
    top<GameControllerResults>()->timeScale = 20.0;  // a state's wait in a frame
    for (int i = 0; i < 20 && !top<ContextHighScores>(); ++i) tapKey(kFire);
    auto* table = top<ContextHighScores>();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->shownTable(), GameControllerDuel::kScoreTable);
}
