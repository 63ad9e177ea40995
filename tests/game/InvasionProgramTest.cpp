// The Invasion inside the running program, from a fresh data folder, played with the
// player's own input only: the title menu leads through the game-mode and rules screens
// into the game; the arrow keys turn the cannon and the fire key shoots; Escape pauses
// and resumes; a game ended from the pause screen is offered for continuing at its wave;
// the cannon's own shells bring an enemy down; the enemies of a busy wave burn the palms
// down; the results screen with its fireworks enters the score in the Invasion's table,
// after which the finished game can no longer be continued; and the entry is still in the
// table when the program starts again on the same data folder.
//
// The engine's clock steps a fixed time each frame, so the game's waits of seconds cost
// a few frames each and every run sees the same times. The frame presented at each step
// is kept as a picture in the build folder's walkthrough/ for a person to look at.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/TypedLink.h"
#include "game/AnnouncementText.h"
#include "game/Cannon.h"
#include "game/CannonShell.h"
#include "game/ContextInvasionRules.h"
#include "game/ContextPaused.h"
#include "game/Enemy.h"
#include "game/Firework.h"
#include "game/GameControllerCampaign.h"
#include "game/GameControllerResults.h"
#include "game/GameGlobal.h"
#include "game/GameLauncher.h"
#include "game/InGameOverlay.h"
#include "game/Palm.h"
#include "game/PlayerData.h"
#include "game/SavedGame.h"
#include "game/Vehicle.h"
#include "platform/GraphicsDevice.h"
#include "render/Camera.h"
#include "render/QorGraphics.h"
#include "support/FrameStep.h"
#include "support/ImageTools.h"
#include "ui/ContextBlender.h"
#include "ui/ContextGameMode.h"
#include "ui/ContextHighScores.h"
#include "ui/ContextMainGame.h"
#include "ui/ContextPopup.h"
#include "ui/GameConfiguration.h"
#include "ui/HIGHSCOREENTRY.h"
#include "ui/MenuButton.h"
#include "ui/MenuItemChoice.h"
#include "ui/ProgramFixture.h"

namespace {
constexpr int kEscape = 1, kLeft = 203, kRight = 205, kFire = 57;  // the first player's default keys
using State = GameControllerCampaign::State;

class InvasionProgramTest : public GameProgramFixture<GameControllerCampaign> {
protected:
    // From the game-mode screen to the Invasion's rules.
    ContextInvasionRules* openRules() {
        clickOn(*top<ContextGameMode>()->pInvasion);
        return top<ContextInvasionRules>();
    }
    static int shells(GameControllerCampaign& g) {
        int n = 0;
        for (BasicLink* c = g.layer(GameController::kPlayerShotList)->firstChild; c; c = c->next)
            n += dynamic_cast<CannonShell*>(c) != nullptr;
        return n;
    }

    // The heading at which a shell leaving the muzzle meets `enemy` on its present course
    // (the low arc, led by the shell's flight time); false when it is out of reach.
    static bool leadAngle(const Vehicle& cannon, const Vector3& muzzle, const Enemy& enemy, float& angle) {
        const float v = cannon.power, g = -CannonShell::kGravity;
        float flight = 0.0f;
        for (int i = 0; i < 4; ++i) {
            const float dx = enemy.position.x + enemy.velocity.x * flight - muzzle.x;
            const float dy = enemy.position.y + enemy.velocity.y * flight - muzzle.y;
            const float reach = v * v * v * v - g * (g * dx * dx + 2.0f * dy * v * v);
            if (reach < 0.0f) return false;
            angle = std::atan2(v * v - std::sqrt(reach), g * dx);
            flight = std::fabs(dx) / std::max(v * std::fabs(std::cos(angle)), 1.0f);
        }
        return angle > Cannon::kMinAngle && angle < Cannon::kMaxAngle;
    }
    // The nearest enemy in the air that can be hit, or null.
    static Enemy* nearestTarget(GameControllerCampaign& g, const Vector3& muzzle) {
        Enemy* best = nullptr;
        float bestDistance = 0.0f;
        for (BasicLink* c = g.layer(GameController::kEnemyList)->firstChild; c; c = c->next) {
            auto* enemy = dynamic_cast<Enemy*>(c);
            if (!enemy || enemy->pendingDelete || enemy->health <= 0.0f || !enemy->isHostile()) continue;
            const float d = std::hypot(enemy->position.x - muzzle.x, enemy->position.y - muzzle.y);
            if (!best || d < bestDistance) best = enemy, bestDistance = d;
        }
        return best;
    }
    // One frame of a player aiming at the nearest enemy: the arrow keys turn the barrel
    // toward where the enemy will be, and the fire key is pressed once it points there.
    void aimAndFire(GameControllerCampaign& g) {
        Vehicle* cannon = g.playerData[0]->pVehicle.get();
        const float heading = cannon->heading;
        const Vector3 muzzle =
            cannon->position + Vector3{std::cos(heading), std::sin(heading), 0.0f} * Cannon::kMuzzleLength;
        float angle = heading;
        Enemy* target = nearestTarget(g, muzzle);
        const bool aimed = target && leadAngle(*cannon, muzzle, *target, angle);
        const float halfTurn = 0.5f * cannon->turnRate * static_cast<float>(kFrameStep * g.speed);
        devices->keys[kLeft] = aimed && angle > heading + halfTurn ? 0x80 : 0;
        devices->keys[kRight] = aimed && angle < heading - halfTurn ? 0x80 : 0;
        const bool onTarget = aimed && !devices->keys[kLeft] && !devices->keys[kRight];
        devices->keys[kFire] = onTarget && !devices->keys[kFire] ? 0x80 : 0;  // a press each other frame
        frames(1);
    }
    void releaseKeys() {
        devices->keys[kLeft] = devices->keys[kRight] = devices->keys[kFire] = 0;
        frames(1);
    }

    // Runs the results screen until one of its rockets bursts where the camera sees it.
    bool waitForBurstInView(GameControllerResults& results) {
        for (int tries = 0; tries < 20; ++tries) {
            TypedLink<Firework> rocket;  // reads as empty once the tree has deleted it
            bool seen = false;
            Vector3 at{};
            const bool burst = tickUntil(
                [&results, &rocket, &seen, &at] {
                    QorBase* effects = results.layer(GameController::kEffectList);
                    for (BasicLink* c = effects->firstChild; c && !seen; c = c->next)
                        if (auto* f = dynamic_cast<Firework*>(c); f && !f->pendingDelete) rocket = f, seen = true;
                    if (rocket && !rocket->pendingDelete) at = rocket->position;
                    return seen && (!rocket || rocket->pendingDelete);
                },
                400);
            if (!burst) return false;
            const ViewRect view = results.pScene->pCamera->getViewRect(at.z);
            if (at.x > view.left && at.x < view.right && at.y < view.top && at.y > view.bottom) return true;
        }
        return false;
    }

    // The frame last presented, as walkthrough/invasion-NN-<step>.ppm in the build folder.
    void keepPicture(const char* step) {
        std::vector<std::uint32_t> pixels;
        TestPicture picture;
        ASSERT_TRUE(qor->graphics().dxDevice->readBackBuffer(pixels, picture.width, picture.height));
        picture.argb = std::move(pixels);
        const std::filesystem::path folder = std::filesystem::current_path() / "walkthrough";
        std::filesystem::create_directories(folder);
        char name[96];
        std::snprintf(name, sizeof name, "invasion-%02d-%s.ppm", ++pictures, step);
        writeNetpbm(folder / name, picture, false);
    }
    // A second start of the program on the same data folder, to its title menu: the
    // logo and the intro are skipped; the player is known, so no name is asked for.
    void restartToTheTitle() {
        WindowShell::deleteQOR();
        frameStep = 0.0;
        ASSERT_TRUE(tickUntil([this] { return topIs<ContextSplash>(); }));
        global->pContextManager->top()->bFinished = 1;
        ASSERT_TRUE(tickUntil([this] { return topIs<GameControllerIntro>(); }));
        click(20, 20);
        ASSERT_TRUE(tickUntil([this] { return topIs<ContextMainGame>(); }));
        useScriptedDevices();
        useSteppedClock(kFrameStep);
        ASSERT_TRUE(tickUntil([] { return global->pContextManager->pOverlay->level == 0.0f; }));
    }

    // Half the virtual screen's size: large enough for a person to read the pictures, and
    // a quarter of its pixels for a software renderer to draw.
    std::pair<int, int> windowSize() const override { return {400, 240}; }
    std::string settingsText() const override { return windowSettings(400, 240); }

    int pictures = 0;
};
}  // namespace

TEST_F(InvasionProgramTest, APlayerShootsLosesThePalmsToTheEnemiesAndFindsTheEntryAfterARestart) {
    startToTheTitle();
    useSteppedClock(kFrameStep);
    keepPicture("title");
    clickOn(*top<ContextMainGame>()->startGameItem);
    ASSERT_NE(top<ContextGameMode>(), nullptr);
    ContextInvasionRules* rules = openRules();
    ASSERT_NE(rules, nullptr);
    EXPECT_TRUE(rules->pContinue->bDisabled);  // a new profile has no game to continue
    keepPicture("rules");
    clickOn(*rules->pStartNew);
    // The introduction's tip, then the controls tip, which names the keys (arrows among them).
    auto tipShown = [this] {
        const InGameOverlay* tip = top<InGameOverlay>();
        return tip && tip->state == InGameOverlay::kShown && tip->localTime > InGameOverlay::kOpenTime * 2;
    };
    ASSERT_TRUE(tickUntil(tipShown, 300));
    tapKey(kFire);
    ASSERT_TRUE(tickUntil(
        [this] { return top<InGameOverlay>() == nullptr || top<InGameOverlay>()->state != InGameOverlay::kShown; },
        100));
    ASSERT_TRUE(tickUntil(tipShown, 300));
    keepPicture("controls-tip");
    ASSERT_TRUE(leadInToPlay());
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
    keepPicture("aimed-and-fired");

    // Escape pauses (the game stands still beneath), Escape again resumes.
    tapKey(kEscape);
    ASSERT_NE(top<ContextPaused>(), nullptr);
    const double pausedAt = game()->localTime;
    frames(10);
    EXPECT_EQ(game()->localTime, pausedAt);
    keepPicture("paused");
    tapKey(kEscape);
    ASSERT_TRUE(playUntil([this] { return playing(); }, 20));  // a tip may have come up meanwhile
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
    ASSERT_TRUE(leadInToPlay());
    EXPECT_TRUE(game()->bContinued);
    EXPECT_EQ(game()->wave, wave);

    // The player aims at the nearest enemy and fires until a shell brings one down.
    GameControllerCampaign& g = *game();
    const int scoreBefore = g.playerData[0]->getScore();
    for (int i = 0; i < 600 && !ended && g.playerData[0]->getScore() == scoreBefore; ++i) {
        if (top<InGameOverlay>())
            tapKey(kFire);
        else
            aimAndFire(g);
    }
    releaseKeys();
    EXPECT_GT(g.playerData[0]->getScore(), scoreBefore);
    frames(4);  // the score counts up on the display
    keepPicture("enemy-shot-down");

    // A busy wave, the world at four times its speed, and nobody defending: the enemies'
    // own bombs and crashes burn the palms down, and the game is over.
    g.wave = 43;
    g.setState(State::kNextWave);
    g.speed = 4.0;
    ASSERT_TRUE(playUntil([&g] { return g.playerData[0]->livePalms < g.playerData[0]->totalPalms; }, 1000));
    ASSERT_TRUE(playUntil([this] { return top<GameControllerCampaign>() != nullptr; }, 100));  // past the tip
    keepPicture("palms-burning");
    ASSERT_TRUE(playUntil([&g] { return g.state == State::kGameOver; }, 1000));
    EXPECT_EQ(g.pAnnouncement->text, u"Game Over!");
    EXPECT_FALSE(SavedGame(*GameLauncher::invasionBlock()).validData());
    frames(10);
    keepPicture("game-over");
    g.timeScale = 4.0;  // the announcement and the fade, hurried on the controller's clock

    // The results screen lets off fireworks; closed with the fire key, it opens the
    // Invasion's table with the player's new entry in it.
    ASSERT_TRUE(playUntil([this] { return top<GameControllerResults>() != nullptr; }));
    GameControllerResults* results = top<GameControllerResults>();
    results->timeScale = 4.0;  // its timed states, hurried on its own clock
    ASSERT_TRUE(waitForBurstInView(*results));
    frames(4);
    keepPicture("results-fireworks");
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
    const HIGHSCOREENTRY entry = global->configuration.highScores[GameControllerCampaign::kScoreTable][place];
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(entry.name.bytes)), "Ann");
    EXPECT_GT(entry.score, 0);
    ASSERT_TRUE(tickUntil([] { return global->pContextManager->pOverlay->level == 0.0f; }, 100));
    keepPicture("high-score-entry");

    // Back on the game-mode screen, the lost game is no longer offered.
    tapKey(kEscape);
    ASSERT_TRUE(tickUntil([this] { return top<ContextGameMode>() != nullptr; }, 100));
    rules = openRules();
    ASSERT_NE(rules, nullptr);
    EXPECT_TRUE(rules->pContinue->bDisabled);

    // The program starts again on the same data folder: the title's High Scores show the
    // Invasion's table with the entry where it was.
    tapKey(kEscape);
    tapKey(kEscape);
    ASSERT_TRUE(tickUntil([this] { return top<ContextMainGame>() != nullptr; }, 100));
    restartToTheTitle();
    keepPicture("title-after-restart");
    clickOn(*top<ContextMainGame>()->highScoresItem);
    ASSERT_TRUE(tickUntil([this] { return top<ContextHighScores>() != nullptr; }, 100));
    table = top<ContextHighScores>();
    ASSERT_NE(table->pTableSelector, nullptr);
    for (int i = 0; i < ContextHighScores::kAllTables && table->shownTable() != GameControllerCampaign::kScoreTable;
         ++i)
        clickAt(table->pTableSelector->position + table->pTableSelector->rightArrowPoint());
    ASSERT_EQ(table->shownTable(), GameControllerCampaign::kScoreTable);
    const HIGHSCOREENTRY& kept = global->configuration.highScores[GameControllerCampaign::kScoreTable][place];
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(kept.name.bytes)), "Ann");
    EXPECT_EQ(kept.score, entry.score);
    ASSERT_TRUE(tickUntil([] { return global->pContextManager->pOverlay->level == 0.0f; }, 100));
    keepPicture("high-scores-after-restart");
}
