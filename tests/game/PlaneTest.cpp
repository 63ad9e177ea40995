#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "engine/MathHelpers.h"
#include "game/Bomb.h"
#include "game/Bullet.h"
#include "game/DuelWorld.h"
#include "game/Plane.h"
#include "game/SpriteEffect.h"
#include "game/WeaponBombBay.h"
#include "game/WeaponPlaneGun.h"

namespace {
constexpr float kPi = std::numbers::pi_v<float>;
// Default bindings of column 0: arrows and Space.
constexpr int kLeft = 203, kRight = 205, kUp = 200, kDown = 208, kFire = 57;

class PlaneTest : public DuelWorld {
protected:
    Plane& plane(float y = 200.0f) { return enlist(GameController::kPlaneList, new Plane(0), 0.0f, y); }
    template <class T>
    int countIn(int index) {
        int n = 0;
        for (const BasicLink* c = list(index).firstChild; c; c = c->next) n += dynamic_cast<const T*>(c) != nullptr;
        return n;
    }
};
}  // namespace

TEST_F(PlaneTest, SpeedStartsAtTheLeastAndStaysWithinItsRangeWhateverIsHeld) {
    Plane& p = plane();
    EXPECT_EQ(p.heading, 0.0f);
    fly(p, 1);
    EXPECT_FLOAT_EQ(p.power, Plane::kMinSpeed);
    EXPECT_FLOAT_EQ(p.velocity.x, Plane::kMinSpeed);
    holdKey(kUp);
    holdKey(kDown);
    fly(p, 10);
    EXPECT_FLOAT_EQ(p.power, Plane::kMinSpeed);
    holdKey(kDown, false);
    fly(p, 64);
    EXPECT_FLOAT_EQ(p.power, Plane::kMaxSpeed);
    p.setP35Look();
    fly(p, 64);
    EXPECT_FLOAT_EQ(p.power, Plane::kP35MaxSpeed);
    EXPECT_FLOAT_EQ(p.turnRate, 1.5f * kPi);
}

TEST_F(PlaneTest, TheHeadingWrapsIntoOneTurnAndThePointerTurnStopsOnItsTarget) {
    Plane& p = plane();
    p.heading = 2.0f * kPi - 0.01f;
    holdKey(kLeft);
    fly(p, 2);
    EXPECT_GE(p.heading, 0.0f);
    EXPECT_LT(p.heading, 0.1f);
    holdKey(kLeft, false);
    holdKey(kRight);
    fly(p, 8);
    EXPECT_GT(p.heading, 2.0f * kPi - 0.5f);
    EXPECT_LT(p.heading, 2.0f * kPi);
    holdKey(kRight, false);
    player(0).bPointerControl = 1;
    p.heading = 0.0f;
    p.position = Vector3{0.0f, 200.0f, 0.0f};
    game->pScene->pointer = Vector3{0.0f, 4000.0f, 0.0f};  // far up: about pi / 2
    fly(p, 48);                                            // longer than the quarter turn takes
    EXPECT_NEAR(p.heading, kPi / 2.0f, 0.05f);
    EXPECT_NEAR(p.heading, p.aimAngle, 1e-5f);
}

TEST_F(PlaneTest, TheWaterEndsAPlaneAndCostsPointsOnlyWhenItWasFlownIn) {
    player(0).addMaskedScore(5000);
    Plane& shot = plane(100.0f);
    fly(shot, 1);
    shot.takeDamage(nullptr, 2.0f);
    EXPECT_EQ(shot.state, Plane::kFalling);
    const float vx = shot.velocity.x;
    fly(shot, 16);  // it keeps its speed across, drops and smokes
    EXPECT_FLOAT_EQ(shot.velocity.x, vx);
    EXPECT_LT(shot.velocity.y, 0.0f);
    EXPECT_GT(countIn<SpriteEffect>(GameController::kSmokeList), 0);
    fly(shot, 400);
    EXPECT_FALSE(shot.isOperational());
    EXPECT_EQ(shot.position.y, GameEntity::kWaterLine);
    EXPECT_EQ(player(0).getScore(), 5000);
    Plane& flown = plane(-20.0f);
    flown.heading = 3.0f * kPi / 2.0f;
    fly(flown, 8);
    EXPECT_EQ(flown.state, Plane::kDown);
    EXPECT_EQ(player(0).getScore(), 5000 - Plane::kWaterPenalty);
    EXPECT_EQ(recorder->downed, (std::vector<std::int32_t>{0, 0}));
}

TEST_F(PlaneTest, ThePlaneWeaponsFireOncePerPressBombsAtThePathSpeedAndBulletsAt512) {
    Plane& p = plane();
    p.setWeapon(new WeaponBombBay(0));
    p.energyRecharge = 0.0f;
    fly(p, 1);
    holdKey(kFire);
    fly(p, 30);
    ASSERT_EQ(countIn<Bomb>(GameController::kBombList), 1);
    const auto& bomb = *static_cast<const Bomb*>(list(GameController::kBombList).firstChild);
    EXPECT_NEAR(bomb.velocity.x, 1.2f * Plane::kMinSpeed, 1.0f);
    EXPECT_FLOAT_EQ(p.energy, 0.8f);
    p.energy = 0.1f;
    holdKey(kFire, false);
    fly(p, 1);
    holdKey(kFire);
    fly(p, 1);
    EXPECT_EQ(countIn<Bomb>(GameController::kBombList), 1);
    EXPECT_TRUE(p.weapon->bOutOfEnergy);
    // The gun's bullets fly at 512 whatever the plane's speed.
    p.setWeapon(new WeaponPlaneGun(0));
    p.energy = 1.0f;
    holdKey(kFire, false);
    fly(p, 1);
    holdKey(kFire);
    fly(p, 1);
    ASSERT_EQ(countIn<Bullet>(GameController::kBulletList), 1);
    const auto& bullet = *static_cast<const Bullet*>(list(GameController::kBulletList).firstChild);
    EXPECT_NEAR(vectorLength(bullet.velocity), WeaponPlaneGun::kBulletSpeed, 0.01f);
    EXPECT_FLOAT_EQ(p.energy, 0.85f);
}
