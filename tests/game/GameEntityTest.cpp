#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "game/GameEntity.h"
#include "game/PlayerData.h"
#include "support/GameTestEngine.h"
#include "ui/ContextBlender.h"

namespace {
// An entity that records what happens to it.
class Probe : public GameEntity {
public:
    explicit Probe(std::int32_t side_) : GameEntity(side_) {}
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
    target.health = target.maxHealth = 1.0f;
    EXPECT_FLOAT_EQ(target.takeDamage(nullptr, 0.0f), 0.0f);
    EXPECT_TRUE(target.hits.empty());  // a zero hit is no hit at all
    EXPECT_FLOAT_EQ(target.takeDamage(nullptr, 0.25f), 0.25f);
    EXPECT_FLOAT_EQ(target.takeDamage(nullptr, 5.0f), 0.75f);
    EXPECT_FLOAT_EQ(target.health, 0.0f);
    EXPECT_EQ(target.destroyed, 1);
    EXPECT_FLOAT_EQ(target.takeDamage(nullptr, 1.0f), 0.0f);
    EXPECT_EQ(target.hits, (std::vector<float>{0.25f, 0.75f, 0.0f}));
    EXPECT_EQ(target.destroyed, 1);
    EXPECT_TRUE(target.pendingDelete);
}

TEST(GameEntity, TheSidesVehiclesScaleDamageAndScoreTheShooter) {
    GameTestEngine engine;
    GameController& game = engine.startGame();
    StandInVehiclePlayer& p0 = engine.giveVehicle(0);
    StandInVehiclePlayer& p1 = engine.giveVehicle(1);
    p0.defence = 0.5f;
    p0.attack = 2.0f;
    p1.defence = 0.25f;
    Probe palm(0), shot(0), enemy(-1);
    palm.health = palm.maxHealth = 1.0f;
    EXPECT_FLOAT_EQ(palm.takeDamage(nullptr, 0.4f), 0.2f);
    palm.bSharedDefence = 1;  // every side's defence, side 0 first
    EXPECT_FLOAT_EQ(palm.takeDamage(nullptr, 0.4f), 0.4f * 0.5f * 0.25f);
    enemy.health = enemy.maxHealth = 10.0f;
    enemy.scoreValue = 100;
    EXPECT_FLOAT_EQ(shot.dealDamage(&enemy, 1.0f), 2.02f);
    EXPECT_EQ(game.playerData[0]->getScore(), 20);  // 2.02 / 10 x 100 + 0.5
    // Nobody's entities are not scaled and do not score.
    Probe bomb(-1);
    EXPECT_FLOAT_EQ(bomb.dealDamage(&enemy, 1.0f), 1.01f);
    EXPECT_EQ(game.playerData[0]->getScore(), 20);
    EXPECT_EQ(game.playerData[1]->getScore(), 0);
}

TEST(GameEntity, AFractionOfATargetsHealthEarnsThatFractionOfItsPointsRounded) {
    GameTestEngine engine;
    GameController& game = engine.startGame();
    Probe shooter(1), target(-1);
    target.maxHealth = 1.0f;
    target.scoreValue = 100;
    shooter.addScore(&target, 0.004f);
    EXPECT_EQ(game.playerData[1]->getScore(), 0);
    shooter.addScore(&target, 0.006f);
    EXPECT_EQ(game.playerData[1]->getScore(), 1);
    target.maxHealth = 0.0f;  // no health to take: no points, however much was done
    shooter.addScore(&target, 1.0f);
    EXPECT_EQ(game.playerData[1]->getScore(), 1);
    shooter.onCollision(&target);  // contact damage goes through dealDamage
    EXPECT_FLOAT_EQ(target.health, 0.0f);
}

TEST(GameEntity, MotionReportsOnlyADownwardCrossingOfTheWaterLine) {
    GameTestEngine engine;
    engine.startGame();
    Probe bomb(-1);
    bomb.bRemoveOffscreen = 0;
    bomb.position.y = -24.0f;
    bomb.velocity.y = -2.0f;
    bomb.integrate(1.0);
    EXPECT_FLOAT_EQ(bomb.position.y, -26.0f);
    EXPECT_EQ(bomb.splashes, 1);
    bomb.integrate(0.5);
    EXPECT_EQ(bomb.splashes, 1);  // already below
    bomb.velocity.y = 10.0f;
    bomb.integrate(1.0);  // rising through it
    EXPECT_EQ(bomb.splashes, 1);
    // Velocity first, then position with the new velocity; heading along the motion.
    Probe shell(-1);
    shell.bOrientAlongVelocity = 1;
    shell.velocity = Vector3{10.0f, 0.0f, 0.0f};
    shell.acceleration = Vector3{0.0f, 10.0f, 0.0f};
    shell.integrate(1.0);
    EXPECT_FLOAT_EQ(shell.position.y, 10.0f);
    EXPECT_FLOAT_EQ(shell.heading, kPi / 4.0f);
    EXPECT_FLOAT_EQ(shell.rotation.z, kPi / 4.0f);
}

TEST(GameEntity, AnInvisibleEntityLeavingTheViewOutwardIsDropped) {
    GameTestEngine engine;
    GameController& game = engine.startGame();
    qor->pCurrentContext = game.pScene;  // as while the scene ticks
    struct Case {
        Vector3 position, velocity;
        bool dropped;
    };
    const Case cases[] = {{{-2000.0f, 0.0f, 0.0f}, {-1.0f, 0.0f, 0.0f}, true},
                          {{-2000.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f}, false},  // coming back
                          {{2000.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f}, true},
                          {{0.0f, -2000.0f, 0.0f}, {0.0f, -1.0f, 0.0f}, true},
                          {{0.0f, 2000.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, true},
                          {{0.0f, 0.0f, 0.0f}, {-1.0f, 0.0f, 0.0f}, false}};
    for (const Case& c : cases) {
        Probe p(-1);
        p.position = c.position;
        p.velocity = c.velocity;
        p.bVisible = 0;
        p.integrate(0.0);
        EXPECT_EQ(p.pendingDelete != 0, c.dropped) << c.position.x << "," << c.position.y;
    }
    Probe seen(-1);
    seen.position.x = -2000.0f;
    seen.velocity.x = -1.0f;
    seen.integrate(0.0);  // still visible at its last check
    EXPECT_FALSE(seen.pendingDelete);
    qor->pCurrentContext = nullptr;
}

TEST(GameEntity, TimeToHeightIsTheLaterRootAndZeroWhenNeverReached) {
    GameTestEngine engine;
    Probe p(-1);
    p.position.y = 100.0f;
    p.velocity.y = 20.0f;
    p.acceleration.y = -10.0f;
    const float t = p.timeToHeight(0.0f);
    EXPECT_NEAR(100.0f + 20.0f * t - 5.0f * t * t, 0.0f, 1e-3f);
    EXPECT_GT(t, 0.0f);
    EXPECT_FLOAT_EQ(p.timeToHeight(1000.0f), 0.0f);
    p.acceleration.y = 0.0f;
    EXPECT_FLOAT_EQ(p.timeToHeight(0.0f), 0.0f);
}

TEST(GameEntity, AnglesWrapToTheShortestTurn) {
    EXPECT_NEAR(wrapAngle(0.1f, 2.0f * kPi - 0.1f), -0.2f, 1e-5f);
    EXPECT_NEAR(wrapAngle(3.0f, -3.0f), 2.0f * kPi - 6.0f, 1e-5f);
    EXPECT_NEAR(wrapAngle(-0.5f, 0.5f), 1.0f, 1e-5f);
    EXPECT_NEAR(wrapAngle(0.0f, kPi), -kPi, 1e-6f);  // exactly half a turn ahead
    EXPECT_NEAR(wrapAngle(kPi, 0.0f), kPi, 1e-6f);   // and behind
    EXPECT_EQ(wrapAngleSign(0.0f, kPi), -1);
    EXPECT_EQ(wrapAngleSign(kPi, 0.0f), 1);
    EXPECT_EQ(wrapAngleSign(1.0f, 1.0f + 2.0f * kPi), 0);
    EXPECT_EQ(wrapAngleSign(0.0f, 0.3f), 1);
}
