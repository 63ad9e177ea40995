#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "game/GameEntity.h"
#include "game/PlayerData.h"
#include "support/GameTestEngine.h"

namespace {
// An entity that records what happens to it.
class Probe : public GameEntity {
public:
    explicit Probe(std::int32_t side_, float health_ = 1.0f) : GameEntity(side_) { health = maxHealth = health_; }
    void onHit(GameEntity*, float taken) override { hits.push_back(taken); }
    void destroy(GameEntity* source) override {
        ++destroyed;
        GameEntity::destroy(source);
    }
    void onWaterContact() override { ++splashes; }
    std::vector<float> hits;
    int destroyed = 0;
    int splashes = 0;
};

constexpr float kPi = std::numbers::pi_v<float>;
}  // namespace

TEST(GameEntity, DamageIsCappedAtTheHealthLeftAndDestroysOnce) {
    GameTestEngine engine;
    engine.startGame();
    Probe target(-1);
    EXPECT_FLOAT_EQ(target.takeDamage(nullptr, 0.0f), 0.0f);  // no hit at all
    EXPECT_FLOAT_EQ(target.takeDamage(nullptr, 0.25f), 0.25f);
    EXPECT_FLOAT_EQ(target.takeDamage(nullptr, 5.0f), 0.75f);
    EXPECT_FLOAT_EQ(target.takeDamage(nullptr, 1.0f), 0.0f);
    EXPECT_EQ(target.hits, (std::vector<float>{0.25f, 0.75f, 0.0f}));
    EXPECT_EQ(target.destroyed, 1);
    EXPECT_TRUE(target.pendingDelete);
}

TEST(GameEntity, TheSidesVehiclesScaleDamageAndTheShooterScoresItsShareRounded) {
    GameTestEngine engine;
    GameController& game = engine.startGame();
    StandInVehiclePlayer& p0 = engine.giveVehicle(0);
    engine.giveVehicle(1).defence = 0.25f;
    p0.defence = 0.5f;
    p0.attack = 2.0f;
    Probe palm(0), shot(0), bomb(-1), enemy(-1, 10.0f);
    EXPECT_FLOAT_EQ(palm.takeDamage(nullptr, 0.4f), 0.2f);
    palm.bSharedDefence = 1;  // every side's defence, side 0 first
    EXPECT_FLOAT_EQ(palm.takeDamage(nullptr, 0.4f), 0.4f * 0.5f * 0.25f);
    enemy.scoreValue = 100;
    EXPECT_FLOAT_EQ(shot.dealDamage(&enemy, 1.0f), 2.02f);
    EXPECT_EQ(game.playerData[0]->getScore(), 20);          // 2.02 / 10 x 100, rounded
    EXPECT_FLOAT_EQ(bomb.dealDamage(&enemy, 1.0f), 1.01f);  // nobody's: unscaled, unscored
    Probe small(-1);
    small.scoreValue = 100;
    shot.addScore(&small, 0.004f);  // 0.4 points round to none
    EXPECT_EQ(game.playerData[0]->getScore(), 20);
    shot.addScore(&small, 0.006f);
    EXPECT_EQ(game.playerData[0]->getScore(), 21);
    EXPECT_EQ(game.playerData[1]->getScore(), 0);
}

TEST(GameEntity, MotionCrossesTheWaterLineOnceAndDropsWhatLeavesTheViewUnseen) {
    GameTestEngine engine;
    GameController& game = engine.startGame();
    Probe bomb(-1);
    bomb.bRemoveOffscreen = 0;
    bomb.position.y = -24.0f;
    bomb.velocity.y = -2.0f;
    bomb.integrate(1.0);
    bomb.integrate(0.5);  // already below
    bomb.velocity.y = 10.0f;
    bomb.integrate(1.0);  // rising through it
    EXPECT_EQ(bomb.splashes, 1);
    qor->pCurrentContext = game.pScene;  // as while the scene ticks
    for (float vx : {-1.0f, 1.0f}) {
        Probe p(-1);
        p.position.x = -2000.0f;
        p.velocity.x = vx;
        p.bVisible = 0;
        p.integrate(0.0);
        EXPECT_EQ(p.pendingDelete != 0, vx < 0.0f);  // one coming back stays
    }
    qor->pCurrentContext = nullptr;
}

TEST(GameEntity, AnglesWrapToTheShortestTurnAndHeightsAreReachedOnTheWayDown) {
    EXPECT_NEAR(wrapAngle(0.1f, 2.0f * kPi - 0.1f), -0.2f, 1e-5f);
    EXPECT_NEAR(wrapAngle(3.0f, -3.0f), 2.0f * kPi - 6.0f, 1e-5f);
    EXPECT_NEAR(wrapAngle(0.0f, kPi), -kPi, 1e-6f);  // exactly half a turn ahead
    EXPECT_EQ(wrapAngleSign(0.0f, kPi), -1);
    EXPECT_EQ(wrapAngleSign(kPi, 0.0f), 1);
    GameTestEngine engine;
    Probe p(-1);
    p.position.y = 100.0f;
    p.velocity.y = 20.0f;
    p.acceleration.y = -10.0f;
    EXPECT_FLOAT_EQ(p.timeToHeight(0.0f).value_or(-1.0f), 2.0f + std::sqrt(24.0f));
    EXPECT_FALSE(p.timeToHeight(1000.0f));  // never that high
    p.acceleration.y = 0.0f;
    EXPECT_FALSE(p.timeToHeight(0.0f));  // no fall: never, rather than "now"
}
