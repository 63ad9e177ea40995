#include <gtest/gtest.h>

#include "engine/TypedLink.h"
#include "game/AnnouncementText.h"
#include "game/BonusBalloonKind.h"
#include "game/GameControllerCampaign.h"
#include "game/HudOverlay.h"
#include "game/InGameOverlay.h"
#include "game/InvasionWaveTable.h"
#include "game/InvasionWorld.h"
#include "game/Vehicle.h"
#include "game/Weapon.h"
#include "ui/BlenderCamera.h"
#include "ui/ContextManager.h"
#include "ui/IrisOverlay.h"
#include "ui/PointCamera.h"

namespace {
using State = GameControllerCampaign::State;

int queuedEnemies(const GameControllerCampaign& game) {
    int n = 0;
    for (BasicLink* c = game.pSpawnerRoot->firstChild; c; c = c->next) n += static_cast<EnemySpawner*>(c)->queued();
    return n;
}
}  // namespace

class GameControllerCampaignTest : public InvasionWorld {
protected:
    void clearWave() {
        EnemySpawner::destroyAll(*invasion);
        list(GameController::kEnemyList).deleteChildren();
    }
};

// The first ten waves as the table gives them, for one and two sides; later ones repeat
// their decade's pattern with kamikazes, then bombers too. The spawners the controller
// makes hold exactly those enemies, at the wave's level.
TEST_F(GameControllerCampaignTest, WavesSendTheirEnemiesForOneAndTwoSides) {
    const int one[10] = {42, 38, 34, 28, 39, 23, 20, 30, 44, 1};
    const int two[10] = {63, 57, 51, 41, 58, 32, 30, 45, 64, 1};
    for (int w = 1; w <= 10; ++w) {
        EXPECT_EQ(InvasionWaveTable::enemyCount(w, 1), one[w - 1]) << w;
        EXPECT_EQ(InvasionWaveTable::enemyCount(w, 2), two[w - 1]) << w;
    }
    EXPECT_TRUE(InvasionWaveTable::rowsFor(0).empty());
    EXPECT_EQ(InvasionWaveTable::rowsFor(11).size(), InvasionWaveTable::rowsFor(1).size() + 1);
    EXPECT_EQ(InvasionWaveTable::rowsFor(11).back().type, EnemySpawner::kKamikaze);
    EXPECT_EQ(InvasionWaveTable::rowsFor(21).back().type, EnemySpawner::kKamikaze);
    EXPECT_EQ(InvasionWaveTable::rowsFor(22).back().type, EnemySpawner::kBomber);
    EXPECT_LT(InvasionWaveTable::rowsFor(11).back().count, InvasionWaveTable::rowsFor(41).back().count);
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
    const float expected[][4] = {{1, -200, 135, -320}, {4, 0, 135, -320},    {6, 200, 135, -320},
                                 {7, -400, 270, -640}, {9, 400, 270, -640},  {10, 0, 135, -320},
                                 {11, 200, 135, -320}, {17, 400, 270, -640}, {21, -200, 135, -320}};
    for (const auto& e : expected) {
        game.wave = static_cast<int>(e[0]);
        game.spawnWave();
        const auto* key = static_cast<const PointCamera*>(game.pScene->camera()->lastChild);
        EXPECT_FLOAT_EQ(key->position.x, e[1]) << e[0];
        EXPECT_FLOAT_EQ(key->position.y, e[2]) << e[0];
        EXPECT_FLOAT_EQ(key->position.z, e[3]) << e[0];
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

    GameControllerCampaign& game = start(1, 0);
    EXPECT_EQ(game.playerData[0]->totalPalms, 10);
    EXPECT_FLOAT_EQ(game.playerData[0]->palms[9]->health, 5.0f);
    EXPECT_EQ(game.playerData[1]->pVehicle, nullptr);
    EXPECT_FLOAT_EQ(game.playerData[0]->pVehicle->energyRecharge, 0.0f);
    // Help off: no tips, 1 -> 2 -> 3; the first wave is saved as "none finished".
    ASSERT_TRUE(runUntilState(State::kNextWave));
    EXPECT_EQ(global->pContextManager->top(), nullptr);
    EXPECT_EQ(game.wave, 1);
    EXPECT_EQ(game.pAnnouncement->text, u"Wave 1");
    EXPECT_FALSE(game.pHud[0]->bHidden);
    EXPECT_TRUE(game.pHud[1]->bHidden);
    EXPECT_TRUE(profileBlock().validData());
    EXPECT_EQ(profileBlock().bytes.getS32(GameControllerCampaign::kWaveOffset), 0);
    EXPECT_EQ(profileBlock().bytes.getS32(GameControllerCampaign::kWaveCountOffset), 50);
}

// A test hook stands in for the waves: the last one is cleared at once.
TEST_F(GameControllerCampaignTest, ClearingTheLastWaveWinsTheCampaign) {
    GameControllerCampaign& game = start();
    game.wave = game.waveCount - 1;
    ASSERT_TRUE(runUntilState(State::kPlaying));
    EXPECT_EQ(game.wave, 50);
    clearWave();
    runFor(2.0 - kStep);
    EXPECT_EQ(game.state, State::kPlaying);
    ASSERT_TRUE(runUntilState(State::kWon, 2 * kStep));
    EXPECT_FALSE(profileBlock().validData());
    EXPECT_EQ(game.pAnnouncement->text, u"Congratulations!");
    // Side 0 won every point released: wave 50 of 50 at difficulty 2 rates 1.0 x 0.8.
    game.playerData[0]->addMaskedScore(game.targetsReleased - game.playerData[0]->getScore());
    ASSERT_TRUE(runUntilState(State::kWonSecond));
    EXPECT_EQ(game.pAnnouncement->text, u"You Have Won!");
    ASSERT_TRUE(runUntilState(State::kFadeOut));
    EXPECT_FLOAT_EQ(global->pContextManager->pOverlay->target, 1.0f);
    ASSERT_TRUE(runUntilState(State::kEnd));
    EXPECT_TRUE(game.bFinished);
    EXPECT_FLOAT_EQ(game.playerData[0]->rating, 0.8f * 0.9f);
}

TEST_F(GameControllerCampaignTest, LostPalmsAreSavedAsTheyBurnAndTheLastEndsTheGame) {
    GameControllerCampaign& game = start(1, 4);
    ASSERT_TRUE(runUntilState(State::kPlaying));
    for (int i = 0; i < 2; ++i) game.playerData[0]->palms[i]->takeDamage(nullptr, 100.0f);
    EXPECT_EQ(profileBlock().player(0).palm(1).bytes.getS32(PalmSaveRecord::kState), Palm::kBurning);
    runFor(1.125);  // they burn down (1 s) and count as lost
    ASSERT_EQ(game.playerData[0]->livePalms, 0);
    EXPECT_EQ(profileBlock().player(0).bytes.getS32(PlayerSaveBlock::kLivePalms), 0);
    EXPECT_EQ(profileBlock().player(0).palm(1).bytes.getS32(PalmSaveRecord::kState), Palm::kBurnt);
    ASSERT_TRUE(runUntilState(State::kGameOver, 1.0));
    EXPECT_FALSE(profileBlock().validData());
    EXPECT_EQ(game.pAnnouncement->text, u"Game Over!");
}

// What the game saves must outlive a crash: each wave's autosave, a palm catching fire
// (once: its loss is saved in memory only, and a palm saved burning burns down again
// when continued) and the end of the game reach the profile's file.
TEST_F(GameControllerCampaignTest, AutosavesReachTheDiskAtEachWaveWhenAPalmCatchesFireAndAtTheEnd) {
    GameControllerCampaign& game = start(1, 4);
    ASSERT_TRUE(runUntilState(State::kPlaying));
    ProfileData onDisk = engine.profileOnDisk();
    EXPECT_TRUE(SavedGame(onDisk.invasionGame).validData());
    EXPECT_EQ(SavedGame(onDisk.invasionGame).bytes.getS32(GameControllerCampaign::kWaveOffset), 0);
    game.wave = 6;
    game.setState(State::kNextWave);
    step();
    onDisk = engine.profileOnDisk();
    EXPECT_EQ(SavedGame(onDisk.invasionGame).bytes.getS32(GameControllerCampaign::kWaveOffset), 6);

    game.playerData[0]->palms[0]->takeDamage(nullptr, 100.0f);
    onDisk = engine.profileOnDisk();
    const PalmSaveRecord burning = SavedGame(onDisk.invasionGame).player(0).palm(0);
    EXPECT_EQ(burning.bytes.getS32(PalmSaveRecord::kState), Palm::kBurning);
    runFor(1.125);
    ASSERT_EQ(game.playerData[0]->palms[0]->state, Palm::kBurnt);
    onDisk = engine.profileOnDisk();
    EXPECT_EQ(SavedGame(onDisk.invasionGame).player(0).palm(0).bytes.getS32(PalmSaveRecord::kState), Palm::kBurning);

    game.playerData[0]->palms[1]->takeDamage(nullptr, 100.0f);
    ASSERT_TRUE(runUntilState(State::kGameOver, 3.0));
    onDisk = engine.profileOnDisk();
    EXPECT_FALSE(SavedGame(onDisk.invasionGame).validData());
}

TEST_F(GameControllerCampaignTest, AContinuedGamePlaysTheSavedWaveAgainWithItsTipsAndRules) {
    GameControllerCampaign& first = start(1, 1);
    first.wave = 6;
    first.bBonusTipShown = 1;
    first.savegame(profileBlock());
    SavedGame block = profileBlock();
    block.bytes.putS32(SavedGame::kScoreTable, 0);
    GameControllerCampaign& game = start(1, 3, &block);  // the saved rules win over the configuration
    EXPECT_TRUE(game.bContinued);
    EXPECT_EQ(game.playerData[0]->totalPalms, 8);
    EXPECT_TRUE(game.bBonusTipShown);
    EXPECT_EQ(game.scoreTable, 1);  // the Invasion keeps its table
    ASSERT_TRUE(runUntilState(State::kNextWave, 1.5));
    EXPECT_EQ(game.wave, 7);
}

// A block the campaign cannot play as saved is refused, not bent into range: a new game
// starts and the damaged block is no longer offered.
TEST_F(GameControllerCampaignTest, ABlockOutsideTheCampaignStartsANewGame) {
    const SavedGame block = profileBlock();
    const std::pair<std::size_t, std::int32_t> damages[] = {
        {GameControllerCampaign::kWaveOffset, 1000000000},
        {GameControllerCampaign::kWaveOffset, 50},
        {GameControllerCampaign::kWaveCountOffset, 0},
        {GameControllerCampaign::kWaveCountOffset, 51},
        {SavedGame::kPalmsPerIsland, 4},  // not the palms saved
    };
    for (auto [offset, value] : damages) {
        GameControllerCampaign& first = start(1, 1);
        first.wave = 6;
        first.savegame(block);
        block.bytes.putS32(offset, value);
        GameControllerCampaign& fresh = start(1, 2, &block);
        EXPECT_FALSE(fresh.bContinued) << offset << " " << value;
        EXPECT_FALSE(block.validData());
        EXPECT_EQ(fresh.wave, 0);
        EXPECT_EQ(fresh.waveCount, 50);
        EXPECT_EQ(fresh.playerData[0]->totalPalms, 6);
    }
}

// The end of a slow motion was saved on the clock of the run that saved it, which
// starts near 0 in every run.
TEST_F(GameControllerCampaignTest, AContinuedMatrixFightRunsAtFullSpeed) {
    global->configuration.mutators[0] = 1;  // Matrix fight
    start();
    SavedGame block = profileBlock();
    invasion->savegame(block);
    block.bytes.putF64(SavedGame::kSlowMotionEnd, 1.0e9);
    global->configuration.mutators[0] = 0;
    GameControllerCampaign& c = start(1, 2, &block);
    ASSERT_TRUE(c.bContinued);
    EXPECT_EQ(c.bMatrixFight, 1);
    EXPECT_EQ(c.slowMotionEnd, 0.0);
    EXPECT_EQ(c.pScene->timeScale, 1.0);
    step();
    EXPECT_EQ(c.pScene->timeScale, 1.0);
}

// Help on: the controls tip goes on the stack first, so the introduction shows first. A
// spent weapon falls back to the cannon in any state; the energy tip comes only in play.
TEST_F(GameControllerCampaignTest, TipsComeOnceInOrderAndASpentWeaponFallsBackToTheCannon) {
    global->configuration.bInGameHelp = 1;
    GameControllerCampaign& game = start(2);
    ContextManager& stack = *global->pContextManager;
    game.switchWeapon(1, 3);
    game.playerData[1]->pVehicle->weapon->bOutOfEnergy = 1;
    ASSERT_TRUE(runUntilState(State::kGetReady));
    EXPECT_EQ(game.playerData[1]->pVehicle->weapon->type, 0);
    EXPECT_FALSE(game.bEnergyTipShown);
    ASSERT_EQ(count(stack), 2);
    EXPECT_EQ(count(*static_cast<InGameOverlay*>(stack.top())->pContent), 4);
    EXPECT_EQ(count(*static_cast<InGameOverlay*>(stack.firstChild)->pContent), 3);

    ASSERT_TRUE(runUntilState(State::kPlaying));
    stack.deleteChildren();
    game.switchWeapon(0, 5);
    game.playerData[0]->pVehicle->weapon->bOutOfEnergy = 1;
    step();
    EXPECT_EQ(game.playerData[0]->pVehicle->weapon->type, 0);
    EXPECT_TRUE(game.bEnergyTipShown);
    EXPECT_EQ(count(stack), 1);
}

TEST_F(GameControllerCampaignTest, BalloonsAndCratesComeWhenDueAndBalloonsNeverBelowTheSea) {
    GameControllerCampaign& game = start(2);
    ASSERT_TRUE(runUntilState(State::kPlaying));
    clearWave();
    game.pScene->camera()->setPosition(0.0f, -200.0f, -400.0f);  // looking low
    const double now = game.localTime;
    game.bonusDueTime = game.crateDueTime = now;
    const int released = game.targetsReleased;
    step();
    ASSERT_EQ(countOf(GameController::kBonusBalloonList), 1);
    const auto* balloon = static_cast<BonusBalloonKind*>(list(GameController::kBonusBalloonList).firstChild);
    EXPECT_GE(balloon->basePosition.y, 0.0f);
    EXPECT_LT(balloon->kind, 3);  // no sabotage in the Invasion
    EXPECT_EQ(countOf(GameController::kEnemyList), 1);
    EXPECT_EQ(game.targetsReleased, released + 100 + 250);
    // The next ones: a balloon within 10..40 s, a crate within 15..30 s with two sides.
    EXPECT_GE(game.bonusDueTime - now, 10.0);
    EXPECT_LE(game.bonusDueTime - now, 40.0 + kStep);
    EXPECT_GE(game.crateDueTime - now, 15.0);
    EXPECT_LE(game.crateDueTime - now, 30.0 + kStep);
}

// Enemies' bombs and palm-hurting enemies against standing palms; shots against enemies
// and bonus balloons, which score for the shot's side.
TEST_F(GameControllerCampaignTest, TheCollisionPassPairsTheListsOfTheInvasion) {
    GameControllerCampaign& game = start();
    Palm* palm = game.playerData[0]->palms[0];
    auto* bomb = place(GameController::kEnemyBombList, new GameEntity(-1));
    bomb->contactDamage = 0.5f;
    Enemy* crate = place(GameController::kEnemyList, EnemySpawner::instantiateEnemy(EnemySpawner::kCrate));
    auto* balloon = place(GameController::kBonusBalloonList, new BonusBalloonKind(1, 0.0f, 300.0f, 0.0f, 0.0));
    for (GameEntity* e : {bomb, static_cast<GameEntity*>(crate)})
        e->setPosition(palm->boundsCentre.x, palm->boundsCentre.y, 0.0f);
    game.collide();
    EXPECT_FLOAT_EQ(palm->health, 3.0f - 0.5f * 1.01f);  // the crate does not hurt palms
    for (const Vector3& at : {crate->position, balloon->position}) {
        auto* shot = place(GameController::kPlayerShotList, new GameEntity(0));
        shot->contactDamage = 1000.0f;
        shot->setPosition(at.x, at.y, at.z);
    }
    // The passes delete what they flag as they go: watched through links that empty then.
    TypedLink<Enemy> crateLeft;
    TypedLink<GameEntity> balloonLeft;
    crateLeft = crate;
    balloonLeft = balloon;
    game.collide();
    EXPECT_TRUE(!crateLeft || crateLeft->pendingDelete);
    EXPECT_TRUE(!balloonLeft || balloonLeft->pendingDelete);
    EXPECT_FLOAT_EQ(game.playerData[0]->pVehicle->defenceFactor, 0.5f);
    EXPECT_EQ(game.playerData[0]->getScore(), 250 + 100);
}
