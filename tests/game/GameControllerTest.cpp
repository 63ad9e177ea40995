#include <gtest/gtest.h>

#include <vector>

#include "game/GameController.h"
#include "game/GameEntity.h"
#include "game/PlayerData.h"
#include "support/GameTestEngine.h"
#include "ui/BlenderCamera.h"
#include "ui/ContextBlender.h"
#include "ui/SkyWidget.h"
#include "ui/Snowfall.h"

namespace {
// An entity that counts its frames and can be told to end itself.
class CountingEntity : public GameEntity {
public:
    explicit CountingEntity(std::vector<int>& log_, int id_) : GameEntity(-1), log(log_), id(id_) {
        bRemoveOffscreen = 0;
    }
    void tick(double time, double dt) override {
        log.push_back(id);
        GameEntity::tick(time, dt);
    }
    std::vector<int>& log;
    int id;
};

// A mode that records the order of its per-frame slots.
class RecordingMode : public GameController {
public:
    void collide() override { calls.push_back("collide"); }
    void tickGame() override { calls.push_back("tickGame"); }
    void computeRating() override { playerData[winnerSide]->rating = 1.0f; }
    std::vector<const char*> calls;
};
}  // namespace

TEST(GameController, BuildsTheSceneInDrawingOrderWithItsDefaults) {
    GameTestEngine engine;
    GameController& game = engine.startGame();
    // Scene first, overlay above it.
    EXPECT_EQ(game.firstChild, game.pScene);
    EXPECT_EQ(game.pScene->next, game.pOverlay);
    // Sky, the fourteen lists, the snowfall, then the two players.
    BasicLink* child = game.pScene->firstChild;
    EXPECT_EQ(child, game.pSky);
    for (int i = 0; i < GameController::kLayerCount; ++i) {
        child = child->next;
        EXPECT_EQ(child, game.layer(i)) << "list " << i;
    }
    child = child->next;
    EXPECT_NE(dynamic_cast<Snowfall*>(child), nullptr);
    EXPECT_EQ(child->next, game.playerData[0]);
    EXPECT_EQ(child->next->next, game.playerData[1]);
    EXPECT_EQ(game.layer(-1), nullptr);
    EXPECT_EQ(game.layer(GameController::kLayerCount), nullptr);
    EXPECT_EQ(game.getPlayerData(2), nullptr);
    EXPECT_EQ(game.difficulty, 2);
    EXPECT_EQ(game.bonusFrequency, 1);
    EXPECT_EQ(game.scoreTable, 5);
    EXPECT_EQ(game.targetsReleased, 1);
    EXPECT_FLOAT_EQ(game.pCamera->position.z, -320.0f);
    EXPECT_EQ(game.bCloseOnEscape, 0);
    EXPECT_EQ(game.bDeleteOnClose, 1);
    EXPECT_NE(dynamic_cast<BlenderCamera*>(game.pScene->pCamera), nullptr);
}

TEST(GameController, TicksTheWorldThenCollidesThenRunsTheRulesAndDropsDeadEntities) {
    GameTestEngine engine;
    RecordingMode& game = engine.startGame<RecordingMode>();
    std::vector<int> log;
    game.layer(GameController::kPalmList)->addChild(new CountingEntity(log, 1));
    auto* doomed = new CountingEntity(log, 2);
    game.layer(GameController::kEnemyList)->addChild(doomed);
    game.layer(GameController::kEffectList)->addChild(new CountingEntity(log, 3));
    engine.stepGame();
    EXPECT_EQ(log, (std::vector<int>{1, 2, 3}));  // lists in order
    EXPECT_EQ(game.calls, (std::vector<const char*>{"collide", "tickGame"}));
    doomed->destroy(nullptr);
    engine.stepGame();
    EXPECT_EQ(log, (std::vector<int>{1, 2, 3, 1, 3}));
    EXPECT_EQ(game.layer(GameController::kEnemyList)->firstChild, nullptr);
}

TEST(GameController, TheWorldRunsAtTheGameSpeedWhileTheControllerKeepsFrameTime) {
    GameTestEngine engine;
    GameController& game = engine.startGame();
    game.bBerserk = 1;
    game.startGame(nullptr);
    engine.stepGame(0.03125);
    EXPECT_DOUBLE_EQ(game.localTime, 0.03125);
    EXPECT_DOUBLE_EQ(game.pScene->localTime, 0.0625);
    EXPECT_EQ(game.playerData[0]->bHuman, 1);
    EXPECT_EQ(game.playerData[1]->bHuman, 1);
    game.computerPlayers = 1;
    game.startGame(nullptr);
    EXPECT_EQ(game.playerData[1]->bHuman, 0);
}

TEST(GameController, MatrixFightSlowsTheWorldAfterAShotAndRampsBackOnWallTime) {
    GameTestEngine engine;
    GameController& game = engine.startGame();
    game.bMatrixFight = 1;
    EXPECT_DOUBLE_EQ(game.sceneTimeScale(), 1.0);  // no shot yet
    engine.clock.advance(10.0);
    const double shot = qor->pTimeKeeper->now();
    game.slowMotionEnd = shot + 2.0;
    EXPECT_NEAR(game.sceneTimeScale(), 0.25, 1e-6);
    engine.clock.advance(0.25);
    EXPECT_NEAR(game.sceneTimeScale(), 0.25, 1e-5);
    engine.clock.advance(0.875);  // half way up the ramp
    EXPECT_NEAR(game.sceneTimeScale(), 0.625, 1e-5);
    engine.clock.advance(0.875);
    EXPECT_DOUBLE_EQ(game.sceneTimeScale(), 1.0);
    game.bBerserk = 1;
    game.speed = 2.0;
    game.slowMotionEnd = qor->pTimeKeeper->now() + 2.0;
    EXPECT_NEAR(game.sceneTimeScale(), 0.5, 1e-5);
    game.bMatrixFight = 0;
    EXPECT_DOUBLE_EQ(game.sceneTimeScale(), 2.0);
}

TEST(GameController, EndingRatesAtNinetyPercentAndClosingClearsTheCurrentGame) {
    GameTestEngine engine;
    RecordingMode& game = engine.startGame<RecordingMode>();
    game.winnerSide = 1;
    game.endGame();
    EXPECT_FLOAT_EQ(game.playerData[1]->rating, 0.9f);
    EXPECT_FLOAT_EQ(game.playerData[0]->rating, 0.0f);
    game.onDeactivate(false);
    EXPECT_EQ(engine.app().pCurrentGame, &game);
    game.onDeactivate(true);
    EXPECT_EQ(engine.app().pCurrentGame, nullptr);
    game.destroy();
}

TEST(GameController, SidesAndBonusTimes) {
    GameTestEngine engine;
    GameController& game = engine.startGame();
    EXPECT_EQ(game.sideFor(0), 1);
    EXPECT_EQ(game.sideFor(1), 0);
    game.computerPlayers = 1;
    EXPECT_EQ(game.sideFor(0), 0);
    game.bBonusesAllowed = 0;
    EXPECT_DOUBLE_EQ(game.nextBonusTime(), 1000000.0);
    game.bBonusesAllowed = 1;
    const double spreads[] = {60.0, 30.0, 10.0, 0.0};
    for (int f = 0; f < 4; ++f) {
        game.bonusFrequency = f;
        Random::seed(99);
        const double u = Random::next() / 65536.0;
        Random::seed(99);
        EXPECT_DOUBLE_EQ(game.nextBonusTime(), (f < 3 ? 10.0 : 0.0) + u * spreads[f]) << f;
    }
}
