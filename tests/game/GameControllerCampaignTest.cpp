#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "game/AnnouncementText.h"
#include "game/BonusBalloonKind.h"
#include "game/Cannon.h"
#include "game/Enemy.h"
#include "game/EnemySpawner.h"
#include "game/HudOverlay.h"
#include "game/InGameOverlay.h"
#include "game/InvasionWaveTable.h"
#include "game/InvasionWorld.h"
#include "game/Palm.h"
#include "game/PlayerData.h"
#include "game/Weapon.h"
#include "ui/BlenderCamera.h"
#include "ui/ContextBlender.h"
#include "ui/ContextManager.h"
#include "ui/IrisOverlay.h"
#include "ui/PointCamera.h"

namespace {
using State = GameControllerCampaign::State;

int queuedEnemies(const GameControllerCampaign& game) {
    int n = 0;
    for (BasicLink* c = game.pSpawnerRoot->firstChild; c; c = c->next) {
        const auto* spawner = static_cast<const EnemySpawner*>(c);
        n += spawner->queued();
    }
    return n;
}

const PointCamera* lastKeyPoint(const GameControllerCampaign& game) {
    return static_cast<const PointCamera*>(game.pScene->camera()->lastChild);
}

void clearWave(GameControllerCampaign& game) {
    EnemySpawner::destroyAll(game);
    game.layer(GameController::kEnemyList)->deleteChildren();
}
}  // namespace

class GameControllerCampaignTest : public InvasionWorld {};

// The counts of the first ten waves as the campaign's table gives them, one and two
// sides; later waves repeat their decade's pattern with kamikazes, then bombers too.
TEST_F(GameControllerCampaignTest, WavesSendTheirEnemiesForOneAndTwoSides) {
    const int one[10] = {42, 38, 34, 28, 39, 23, 20, 30, 44, 1};
    const int two[10] = {63, 57, 51, 41, 58, 32, 30, 45, 64, 1};
    for (int w = 1; w <= 10; ++w) {
        EXPECT_EQ(InvasionWaveTable::enemyCount(w, 1), one[w - 1]) << w;
        EXPECT_EQ(InvasionWaveTable::enemyCount(w, 2), two[w - 1]) << w;
    }
    EXPECT_TRUE(InvasionWaveTable::rowsFor(0).empty());
    const auto later = InvasionWaveTable::rowsFor(11);
    ASSERT_EQ(later.size(), InvasionWaveTable::rowsFor(1).size() + 1);
    EXPECT_EQ(later.back().type, EnemySpawner::kKamikaze);
    EXPECT_EQ(InvasionWaveTable::rowsFor(21).back().type, EnemySpawner::kKamikaze);
    EXPECT_EQ(InvasionWaveTable::rowsFor(22).back().type, EnemySpawner::kBomber);
    EXPECT_LT(InvasionWaveTable::rowsFor(11).back().count, InvasionWaveTable::rowsFor(41).back().count);
    EXPECT_EQ(InvasionWaveTable::rowsFor(50).front().type, EnemySpawner::kZeppelin);

    // The controller builds those spawners, each enemy at the wave's level.
    for (int sides : {1, 2}) {
        GameControllerCampaign& game = start(sides);
        for (int w : {9, 10, 22}) {
            game.wave = w;
            game.pSpawnerRoot->deleteChildren();
            game.spawnWave();
            EXPECT_EQ(queuedEnemies(game), InvasionWaveTable::enemyCount(w, sides)) << w << " " << sides;
            const Enemy* first = static_cast<EnemySpawner*>(game.pSpawnerRoot->firstChild)->firstQueued();
            EXPECT_FLOAT_EQ(first->level, static_cast<float>(w) / 50.0f);
        }
    }
}

TEST_F(GameControllerCampaignTest, TheCameraWatchesFromTheWavesSideMirroredInOddDecades) {
    GameControllerCampaign& game = start();
    struct Expected {
        int wave;
        float x, y, z;
    };
    for (const Expected& e :
         {Expected{1, -200, 135, -320}, Expected{4, 0, 135, -320}, Expected{6, 200, 135, -320},
          Expected{7, -400, 270, -640}, Expected{9, 400, 270, -640}, Expected{10, 0, 135, -320},
          Expected{11, 200, 135, -320}, Expected{17, 400, 270, -640}, Expected{21, -200, 135, -320}}) {
        game.wave = e.wave;
        game.spawnWave();
        const PointCamera* key = lastKeyPoint(game);
        EXPECT_FLOAT_EQ(key->position.x, e.x) << e.wave;
        EXPECT_FLOAT_EQ(key->position.y, e.y) << e.wave;
        EXPECT_FLOAT_EQ(key->position.z, e.z) << e.wave;
        EXPECT_DOUBLE_EQ(key->blendTime, 3.0);
    }
}

TEST_F(GameControllerCampaignTest, ANewGameBuildsTheIslandByTheRulesAndAutosavesAtEachWave) {
    GameControllerCampaign& hard = start(2, 4);
    EXPECT_EQ(hard.playerData[0]->totalPalms, 2);
    EXPECT_FLOAT_EQ(hard.playerData[0]->palms[0]->maxHealth, 1.0f);
    EXPECT_FLOAT_EQ(hard.playerData[0]->pVehicle->position.x, -32.0f);
    EXPECT_FLOAT_EQ(hard.playerData[1]->pVehicle->position.x, 32.0f);
    EXPECT_EQ(hard.playerData[1]->colour, 0xFF0000FFu);
    EXPECT_EQ(hard.bSabotageAllowed, 0);

    GameControllerCampaign& game = start(1, 0);
    EXPECT_EQ(game.playerData[0]->totalPalms, 10);
    EXPECT_FLOAT_EQ(game.playerData[0]->palms[9]->health, 5.0f);
    EXPECT_EQ(game.playerData[1]->pVehicle, nullptr);
    EXPECT_FLOAT_EQ(game.playerData[0]->pVehicle->energyRecharge, 0.0f);
    EXPECT_TRUE(game.pHud[0]->bHidden);
    // Help off: no tips, 1 -> 2 -> 3 -> 4; the first wave is saved as "none finished".
    ASSERT_TRUE(runUntilState(State::kNextWave));
    EXPECT_EQ(global->pContextManager->top(), nullptr);
    EXPECT_EQ(game.wave, 1);
    EXPECT_EQ(game.pAnnouncement->text, u"Wave 1");
    EXPECT_FALSE(game.pHud[0]->bHidden);
    EXPECT_TRUE(game.pHud[1]->bHidden);
    EXPECT_TRUE(profileBlock().validData());
    EXPECT_EQ(profileBlock().bytes.getS32(GameControllerCampaign::kWaveOffset), 0);
    EXPECT_EQ(profileBlock().bytes.getS32(GameControllerCampaign::kWaveCountOffset), 50);
    ASSERT_TRUE(runUntilState(State::kPlaying));
    EXPECT_DOUBLE_EQ(game.timeInState, 0.0);
}

// A test hook stands in for the waves: the last one is cleared at once.
TEST_F(GameControllerCampaignTest, ClearingTheLastWaveWinsTheCampaign) {
    GameControllerCampaign& game = start();
    game.wave = game.waveCount - 1;
    ASSERT_TRUE(runUntilState(State::kPlaying));
    EXPECT_EQ(game.wave, 50);
    clearWave(game);
    run(2.0 - kStep);
    EXPECT_EQ(game.state, State::kPlaying);
    ASSERT_TRUE(runUntilState(State::kWon, 2 * kStep));
    EXPECT_FALSE(profileBlock().validData());
    // Side 0 won every point released: wave 50 of 50 at difficulty 2 rates 1.0 x 0.8.
    game.playerData[0]->addMaskedScore(game.targetsReleased - game.playerData[0]->getScore());
    EXPECT_EQ(game.pAnnouncement->text, u"Congratulations!");
    ASSERT_TRUE(runUntilState(State::kWonSecond));
    EXPECT_EQ(game.pAnnouncement->text, u"You Have Won!");
    ASSERT_TRUE(runUntilState(State::kFadeOut));
    EXPECT_FLOAT_EQ(global->pContextManager->pOverlay->target, 1.0f);
    ASSERT_TRUE(runUntilState(State::kEnd));
    EXPECT_TRUE(game.bFinished);
    EXPECT_FLOAT_EQ(game.playerData[0]->rating, 0.8f * 0.9f);
}

TEST_F(GameControllerCampaignTest, TheLastLostPalmEndsTheGameAndInvalidatesTheSave) {
    GameControllerCampaign& game = start(1, 4);
    ASSERT_TRUE(runUntilState(State::kPlaying));
    for (Palm* palm : game.playerData[0]->palms)
        if (palm) palm->takeDamage(nullptr, 100.0f);
    run(1.125);  // the palms burn down (1 s) and count as lost
    ASSERT_EQ(game.playerData[0]->livePalms, 0);
    // Both lost palms were written into the block as they burnt and were lost.
    EXPECT_EQ(profileBlock().player(0).bytes.getS32(PlayerSaveBlock::kLivePalms), 0);
    EXPECT_EQ(profileBlock().player(0).palm(1).bytes.getS32(4), Palm::kBurnt);
    ASSERT_TRUE(runUntilState(State::kGameOver, 1.5));
    EXPECT_FALSE(profileBlock().validData());
    EXPECT_EQ(game.pAnnouncement->text, u"Game Over!");
    ASSERT_TRUE(runUntilState(State::kEnd));
    EXPECT_TRUE(game.bFinished);
}

TEST_F(GameControllerCampaignTest, AContinuedGamePlaysTheSavedWaveAgainWithItsTipsAndClampedCounts) {
    GameControllerCampaign& first = start(1, 1);
    first.wave = 6;
    first.bBonusTipShown = 1;
    first.savegame(profileBlock());
    SavedGame block = profileBlock();

    GameControllerCampaign& game = start(1, 3, &block);  // the saved rules win over the configuration
    EXPECT_EQ(game.difficulty, 1);
    EXPECT_EQ(game.playerData[0]->totalPalms, 8);
    EXPECT_TRUE(game.bBonusTipShown);
    ASSERT_TRUE(runUntilState(State::kNextWave, 1.5));
    EXPECT_EQ(game.wave, 7);

    // Counts out of range are brought into the campaign; a wave beyond it plays the last.
    block.bytes.putS32(GameControllerCampaign::kWaveCountOffset, 0);
    block.bytes.putS32(GameControllerCampaign::kWaveOffset, 1000);
    GameControllerCampaign& clamped = start(1, 1, &block);
    EXPECT_EQ(clamped.waveCount, 1);
    EXPECT_EQ(clamped.wave, 0);

    // A block whose palms do not match its rules starts a new game instead of failing.
    block.bytes.putS32(SavedGame::kPalmsPerIsland, 4);
    GameControllerCampaign& fresh = start(1, 2, &block);
    EXPECT_EQ(fresh.playerData[0]->totalPalms, 6);
    EXPECT_EQ(fresh.waveCount, 50);
    ASSERT_TRUE(runUntilState(State::kNextWave, 8.0));
    EXPECT_EQ(fresh.wave, 1);
}

TEST_F(GameControllerCampaignTest, ASpentWeaponFallsBackToTheCannonWithTheEnergyTipOnlyInPlay) {
    global->configuration.bInGameHelp = 1;
    GameControllerCampaign& game = start(2);
    ContextManager& stack = *global->pContextManager;
    stack.deleteChildren();  // the intro tips, not looked at here
    game.switchWeapon(1, 3);
    game.playerData[1]->pVehicle->weapon->bOutOfEnergy = 1;
    step();
    EXPECT_EQ(game.playerData[1]->pVehicle->weapon->type, 0);
    EXPECT_EQ(count(stack), 0);  // not playing yet: no tip
    EXPECT_FALSE(game.bEnergyTipShown);

    ASSERT_TRUE(runUntilState(State::kPlaying));
    stack.deleteChildren();
    game.switchWeapon(0, 5);
    game.playerData[0]->pVehicle->weapon->bOutOfEnergy = 1;
    step();
    EXPECT_EQ(game.playerData[0]->pVehicle->weapon->type, 0);
    EXPECT_TRUE(game.bEnergyTipShown);
    ASSERT_NE(dynamic_cast<InGameOverlay*>(stack.top()), nullptr);
    EXPECT_EQ(count(*static_cast<InGameOverlay*>(stack.top())->pContent), 4);
}

TEST_F(GameControllerCampaignTest, BalloonsAndCratesComeWhenDueAndBalloonsNeverBelowTheSea) {
    GameControllerCampaign& game = start(2);
    ASSERT_TRUE(runUntilState(State::kPlaying));
    clearWave(game);
    // The camera looks low: the balloons still come at height 0 or above.
    game.pScene->camera()->setPosition(0.0f, -200.0f, -400.0f);
    const double start = game.localTime;
    game.bonusDueTime = game.crateDueTime = start;
    const int released = game.targetsReleased;
    step();
    QorBase& balloons = *game.layer(GameController::kBonusBalloonList);
    ASSERT_EQ(count(balloons), 1);
    const auto* balloon = static_cast<BonusBalloonKind*>(balloons.firstChild);
    EXPECT_GE(balloon->basePosition.y, 0.0f);
    EXPECT_LT(balloon->kind, 3);  // no sabotage in the Invasion
    EXPECT_EQ(count(*game.layer(GameController::kEnemyList)), 1);
    EXPECT_EQ(game.targetsReleased, released + 100 + 250);
    // The next ones: a balloon within 10..40 s, a crate within 15..30 s with two sides.
    EXPECT_GE(game.bonusDueTime - start, 10.0);
    EXPECT_LE(game.bonusDueTime - start, 40.0 + kStep);
    EXPECT_GE(game.crateDueTime - start, 15.0);
    EXPECT_LE(game.crateDueTime - start, 30.0 + kStep);
}

TEST_F(GameControllerCampaignTest, TheRatingIsTheWinnersShareOfThePointsScaledByProgressAndSkill) {
    GameControllerCampaign& game = start(2, 4);
    game.wave = 50;
    game.targetsReleased = 1000;
    game.playerData[0]->addMaskedScore(600);
    game.playerData[1]->addMaskedScore(1000);
    game.computeRating();
    EXPECT_EQ(game.winnerSide, 1);
    EXPECT_FLOAT_EQ(game.playerData[1]->rating, 1.0f);
    EXPECT_FLOAT_EQ(game.playerData[0]->rating, 0.0f);

    GameControllerCampaign& easy = start(2, 0);
    easy.wave = 1;
    easy.targetsReleased = 1000;
    easy.playerData[0]->addMaskedScore(500);
    easy.playerData[1]->addMaskedScore(500);  // a tie goes to side 0
    easy.bRatingHalved = 1;
    easy.computeRating();
    EXPECT_EQ(easy.winnerSide, 0);
    EXPECT_NEAR(easy.playerData[0]->rating, (0.016 + 0.2) * 0.6 * 0.5 * 0.5, 1e-6);
}

// The collision pass: enemies' bombs and palm-hurting enemies against standing palms,
// the players' shots against enemies, bombs and bonus balloons.
TEST_F(GameControllerCampaignTest, TheCollisionPassPairsTheListsOfTheInvasion) {
    GameControllerCampaign& game = start();
    Palm* palm = game.playerData[0]->palms[0];
    auto* bomb = new GameEntity(-1);
    bomb->position = palm->boundsCentre;
    bomb->contactDamage = 0.5f;
    bomb->updateXform();
    game.layer(GameController::kEnemyBombList)->addChild(bomb);
    auto* crate = EnemySpawner::instantiateEnemy(EnemySpawner::kCrate);  // does not hurt palms
    crate->position = palm->boundsCentre;
    crate->updateXform();
    game.layer(GameController::kEnemyList)->addChild(crate);
    const float health = palm->health;
    game.collide();
    EXPECT_FLOAT_EQ(palm->health, health - 0.5f * 1.01f);

    auto* shot = new GameEntity(0);
    shot->position = crate->boundsCentre;
    shot->contactDamage = 1000.0f;
    shot->updateXform();
    game.layer(GameController::kPlayerShotList)->addChild(shot);
    const std::int32_t score = game.playerData[0]->getScore();
    game.collide();
    EXPECT_TRUE(crate->pendingDelete);
    EXPECT_EQ(game.playerData[0]->getScore(), score + 250);
}
