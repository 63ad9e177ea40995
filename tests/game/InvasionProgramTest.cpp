// The Invasion inside the running program, from a fresh data folder, played with the
// player's own input only: the title menu leads through the game-mode and rules screens
// into the game; the arrow keys turn the cannon and the fire key shoots; Escape pauses
// and resumes; a game ended from the pause screen is offered for continuing at its wave;
// and once the last palm is lost the results screen enters the score in the Invasion's
// high-score table, after which the finished game can no longer be continued.
//
// The engine's clock steps a fixed time each frame, so the game's waits of seconds cost
// a few frames each and every run sees the same times.
#include <gtest/gtest.h>

#include <string>

#include "game/AnnouncementText.h"
#include "game/CannonShell.h"
#include "game/ContextInvasionRules.h"
#include "game/ContextPaused.h"
#include "game/GameControllerCampaign.h"
#include "game/GameControllerResults.h"
#include "game/GameGlobal.h"
#include "game/GameLauncher.h"
#include "game/InGameOverlay.h"
#include "game/Palm.h"
#include "game/PlayerData.h"
#include "game/SavedGame.h"
#include "game/Vehicle.h"
#include "ui/ContextGameMode.h"
#include "ui/ContextHighScores.h"
#include "ui/ContextMainGame.h"
#include "ui/ContextPopup.h"
#include "ui/GameConfiguration.h"
#include "ui/HIGHSCOREENTRY.h"
#include "ui/MenuButton.h"
#include "ui/ProgramFixture.h"

namespace {
constexpr int kEscape = 1, kLeft = 203, kFire = 57;  // the first player's default keys
constexpr double kFrameStep = 0.05;                  // s of the clock per frame
using State = GameControllerCampaign::State;

class InvasionProgramTest : public ProgramFixture {
protected:
    // The window is as large as the virtual screen, so window pixels are screen units.
    std::string settingsText() const override {
        return "[QorGraphics]\nbFullScreen=No\nvideoModeWidth=800\nvideoModeHeight=480\n"
               "[Qor]\ndefaultLanguage=0\n";
    }
    template <class T>
    T* top() {
        return dynamic_cast<T*>(global->pContextManager->top());
    }
    GameControllerCampaign* game() {
        auto* app = dynamic_cast<GameGlobal*>(global);
        return app ? dynamic_cast<GameControllerCampaign*>(app->pCurrentGame) : nullptr;
    }
    // Runs frames until `done` holds (false when it did not within `limit`); a tip on
    // the way is closed with the fire key, as a player would.
    template <class F>
    bool playUntil(F done, int limit = 1000) {
        for (int i = 0; i < limit && !ended; ++i) {
            if (done()) return true;
            if (top<InGameOverlay>())
                tapKey(kFire);
            else
                frames(1);
        }
        return false;
    }
    bool playing() { return game() && top<GameControllerCampaign>() && game()->state == State::kPlaying; }
    // From the game-mode screen to the Invasion's rules.
    ContextInvasionRules* openRules() {
        clickOn(*top<ContextGameMode>()->pInvasion);
        return top<ContextInvasionRules>();
    }
    // Every enemy in the air is hit by the cannon for all its health: scored as the
    // cannon's shells would be.
    static void shootDownEnemies(GameControllerCampaign& g) {
        Vehicle* cannon = g.playerData[0]->pVehicle.get();
        for (BasicLink* c = g.layer(GameController::kEnemyList)->firstChild; c; c = c->next) {
            auto* enemy = dynamic_cast<GameEntity*>(c);
            if (enemy && !enemy->pendingDelete && enemy->health > 0.0f)
                cannon->dealDamage(enemy, enemy->health * 10.0f);
        }
    }
    static int shells(GameControllerCampaign& g) {
        int n = 0;
        for (BasicLink* c = g.layer(GameController::kPlayerShotList)->firstChild; c; c = c->next)
            n += dynamic_cast<CannonShell*>(c) != nullptr;
        return n;
    }
};
}  // namespace

TEST_F(InvasionProgramTest, APlayerAimsFiresPausesContinuesLosesTheLastPalmAndIsEntered) {
    startToTheTitle();
    useSteppedClock(kFrameStep);
    clickOn(*top<ContextMainGame>()->startGameItem);
    ASSERT_NE(top<ContextGameMode>(), nullptr);
    ContextInvasionRules* rules = openRules();
    ASSERT_NE(rules, nullptr);
    EXPECT_TRUE(rules->pContinue->bDisabled);  // a new profile has no game to continue
    clickOn(*rules->pStartNew);
    ASSERT_TRUE(playUntil([this] { return playing(); }));
    EXPECT_FALSE(game()->bContinued);

    // The arrow key turns the barrel to the left; the fire key sends a shell.
    Vehicle* cannon = game()->playerData[0]->pVehicle.get();
    ASSERT_NE(cannon, nullptr);
    const float heading = cannon->heading;
    devices->keys[kLeft] = 0x80;
    frames(8);
    devices->keys[kLeft] = 0;
    frames(1);
    EXPECT_GT(cannon->heading, heading);
    const int before = shells(*game());
    devices->keys[kFire] = 0x80;
    frames(2);
    devices->keys[kFire] = 0;
    EXPECT_EQ(shells(*game()), before + 1);
    frames(2);

    // Escape pauses (the game stands still beneath), Escape again resumes.
    tapKey(kEscape);
    ASSERT_NE(top<ContextPaused>(), nullptr);
    const double pausedAt = game()->localTime;
    frames(10);
    EXPECT_EQ(game()->localTime, pausedAt);
    tapKey(kEscape);
    EXPECT_TRUE(playing());
    EXPECT_GT(game()->localTime, pausedAt);

    // Ended from the pause screen, the game waits in the profile at its wave.
    const int wave = game()->wave;
    tapKey(kEscape);
    clickOn(*top<ContextPaused>()->pEndGame);
    ASSERT_NE(top<ContextPopup>(), nullptr);
    clickOn(*top<ContextPopup>()->firstButton);
    ASSERT_TRUE(tickUntil([this] { return top<ContextGameMode>() != nullptr; }, 100));
    rules = openRules();
    ASSERT_NE(rules, nullptr);
    ASSERT_FALSE(rules->pContinue->bDisabled);
    clickOn(*rules->pContinue);
    ASSERT_TRUE(playUntil([this] { return playing(); }));
    EXPECT_TRUE(game()->bContinued);
    EXPECT_EQ(game()->wave, wave);

    // Shoot some enemies for a score, then every palm burns down: "Game Over!".
    GameControllerCampaign& g = *game();
    ASSERT_TRUE(playUntil([&g] { return g.layer(GameController::kEnemyList)->firstChild != nullptr; }));
    shootDownEnemies(g);
    EXPECT_GT(g.playerData[0]->getScore(), 0);
    for (int i = 0; i < g.playerData[0]->totalPalms; ++i)
        if (Palm* palm = g.playerData[0]->palms[i].get()) palm->takeDamage(nullptr, 100.0f);
    ASSERT_TRUE(playUntil([&g] {
        shootDownEnemies(g);
        return g.state == State::kGameOver;
    }));
    EXPECT_EQ(g.pAnnouncement->text, u"Game Over!");
    EXPECT_FALSE(GameLauncher::canContinue(SavedGame(*GameLauncher::invasionBlock())));

    // The results screen, closed with the fire key, opens the Invasion's table with the
    // player's new entry in it.
    ASSERT_TRUE(playUntil([this] { return top<GameControllerResults>() != nullptr; }));
    for (int i = 0; i < 100 && !top<ContextHighScores>(); ++i) {
        tapKey(kFire);
        frames(10);
    }
    auto* table = top<ContextHighScores>();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->shownTable(), GameControllerCampaign::kScoreTable);
    const int place = global->lastHighScorePlace;
    ASSERT_GE(place, 0);
    ASSERT_LT(place, GameConfiguration::kEntries);
    const HIGHSCOREENTRY& entry = global->configuration.highScores[GameControllerCampaign::kScoreTable][place];
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(entry.name.bytes)), "Ann");
    EXPECT_GT(entry.score, 0);

    // Back on the game-mode screen, the lost game is no longer offered.
    tapKey(kEscape);
    ASSERT_TRUE(tickUntil([this] { return top<ContextGameMode>() != nullptr; }, 100));
    rules = openRules();
    ASSERT_NE(rules, nullptr);
    EXPECT_TRUE(rules->pContinue->bDisabled);
}
