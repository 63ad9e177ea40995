#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "game/GameController.h"
#include "game/GameEntity.h"
#include "game/PlayerData.h"
#include "support/GameTestEngine.h"
#include "ui/SkyWidget.h"
#include "ui/Snowfall.h"

namespace {
// Entities and the mode's slots write what ran into one journal.
using Journal = std::vector<std::string>;

class JournalEntity : public GameEntity {
public:
    JournalEntity(Journal& journal_, const char* name_) : GameEntity(-1), journal(journal_), name(name_) {}
    void tick(double time, double dt) override {
        journal.push_back(name);
        GameEntity::tick(time, dt);
    }
    Journal& journal;
    const char* name;
};

class JournalMode : public GameController {
public:
    void collide() override { journal.push_back("collide"); }
    void tickGame() override { journal.push_back("tickGame"); }
    void computeRating() override { playerData[1]->rating = 1.0f; }
    Journal journal;
};
}  // namespace

TEST(GameController, TheSceneHoldsSkyListsSnowAndPlayersInDrawingOrder) {
    GameTestEngine engine;
    GameController& game = engine.startGame();
    EXPECT_EQ(game.firstChild, game.pScene);
    EXPECT_EQ(game.pScene->next, game.pOverlay);  // drawn above the world
    BasicLink* child = game.pScene->firstChild;
    EXPECT_EQ(child, game.pSky);
    for (int i = 0; i < GameController::kLayerCount; ++i) EXPECT_EQ(child = child->next, game.layer(i)) << i;
    EXPECT_NE(dynamic_cast<Snowfall*>(child = child->next), nullptr);
    EXPECT_EQ(child->next, game.playerData[0]);
    EXPECT_EQ(child->next->next, game.playerData[1]);
    EXPECT_EQ(game.layer(GameController::kLayerCount), nullptr);
    EXPECT_EQ(game.getPlayerData(-1), nullptr);
}

TEST(GameController, AFrameTicksTheListsInOrderThenCollidesThenRunsTheRules) {
    GameTestEngine engine;
    JournalMode& game = engine.startGame<JournalMode>();
    game.layer(GameController::kPalmList)->addChild(new JournalEntity(game.journal, "palm"));
    auto* enemy = new JournalEntity(game.journal, "enemy");
    enemy->bRemoveOffscreen = 0;
    game.layer(GameController::kEnemyList)->addChild(enemy);
    engine.stepGame();
    enemy->destroy(nullptr);  // gone by the next traversal
    engine.stepGame();
    EXPECT_EQ(game.journal, (Journal{"palm", "enemy", "collide", "tickGame", "palm", "collide", "tickGame"}));
    EXPECT_EQ(game.layer(GameController::kEnemyList)->firstChild, nullptr);
    game.endGame();  // ratings scaled to 90 %
    EXPECT_FLOAT_EQ(game.playerData[1]->rating, 0.9f);
    game.onDeactivate(true);
    EXPECT_EQ(engine.app().pCurrentGame, nullptr);
    game.destroy();
}

TEST(GameController, TheWorldRunsAtGameSpeedAndSlowsAfterAShotUnderMatrixFight) {
    GameTestEngine engine;
    GameController& game = engine.startGame();
    global->configuration.mutators[1] = 1;  // Berserk, switched on in the menus
    game.startGame(nullptr);
    EXPECT_EQ(game.bBerserk, 1);
    EXPECT_EQ(game.bRatingHalved, 1);  // the price of any mutator
    engine.stepGame(0.03125);
    EXPECT_DOUBLE_EQ(game.localTime, 0.03125);  // the mode's delays keep frame time
    EXPECT_DOUBLE_EQ(game.pScene->localTime, 0.0625);
    game.bMatrixFight = 1;
    EXPECT_DOUBLE_EQ(game.sceneTimeScale(), 2.0);  // no shot yet
    game.slowMotionEnd = qor->pTimeKeeper->now() + 2.0;
    EXPECT_NEAR(game.sceneTimeScale(), 0.5, 1e-5);
    engine.clock.advance(0.25 + 0.875);  // half way up the ramp, on wall time
    EXPECT_NEAR(game.sceneTimeScale(), 1.25, 1e-5);
    engine.clock.advance(0.875);
    EXPECT_DOUBLE_EQ(game.sceneTimeScale(), 2.0);
}

TEST(GameController, AnEntityWhoseNumbersRunAwayIsRemovedOnce) {
    GameTestEngine engine;
    GameController& game = engine.startGame();
    auto* lost = new GameEntity(-1);
    lost->bRemoveOffscreen = 0;
    lost->velocity.y = std::numeric_limits<float>::infinity();
    auto* fine = new GameEntity(-1);
    fine->bRemoveOffscreen = 0;
    game.layer(GameController::kEnemyList)->addChild(lost);
    game.layer(GameController::kEnemyList)->addChild(fine);
    engine.stepGame();
    EXPECT_TRUE(lost->pendingDelete);
    EXPECT_FALSE(fine->pendingDelete);
    engine.stepGame();
    EXPECT_EQ(game.layer(GameController::kEnemyList)->countChildren(), 1);
}
