#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "game/ArmedGame.h"
#include "game/Cannon.h"
#include "game/Weapon.h"
#include "inputaudio/WMhooks.h"
#include "ui/ContextBlender.h"

namespace {
// Default bindings: column 0 arrows and Space, column 1 A, D, W, X and left Shift.
constexpr int kLeft0 = 203, kRight0 = 205, kUp0 = 200, kFire0 = 57, kLeft1 = 30;

class CannonTest : public ArmedGame {
protected:
    void SetUp() override {
        game->computerPlayers = 1;
        for (int s = 0; s < 2; ++s) {
            cannon[s] = place(GameController::kVehicleList, new Cannon(s));
            player(s).pVehicle = cannon[s];
            player(s).bPointerControl = 0;
        }
        player(0).bHuman = 1;
    }
    void run(Cannon& c, int frames) {
        for (int i = 0; i < frames; ++i) frameTick(c);
    }
    void pointAt(float x, float y) { game->pScene->pointer = Vector3{x, y, 0.0f}; }

    Cannon* cannon[2] = {};
};
}  // namespace

TEST_F(CannonTest, KeysTurnTheBarrelOnlyBetweenItsLimitsAndRaiseThePowerToItsTop) {
    Cannon& c = *cannon[0];
    holdKey(kLeft0);
    run(c, 128);
    EXPECT_FLOAT_EQ(c.heading, Cannon::kMaxAngle);
    holdKey(kLeft0, false);
    holdKey(kRight0);
    run(c, 192);
    EXPECT_FLOAT_EQ(c.heading, Cannon::kMinAngle);
    c.power = 250.0f;
    holdKey(kUp0);
    run(c, 39);  // 0.609 s
    EXPECT_LT(c.power, 500.0f);
    run(c, 64);  // 0.625 s reaches the top, and there it stays
    EXPECT_FLOAT_EQ(c.power, 500.0f);
}

TEST_F(CannonTest, WithTwoPeopleTheLeftIslandPlaysOnTheSecondColumnOfKeys) {
    game->computerPlayers = 0;
    holdKey(kLeft1);
    holdKey(kUp0);
    frameTick(*cannon[0]);
    frameTick(*cannon[1]);
    EXPECT_TRUE(cannon[0]->bTurnLeft && !cannon[0]->bRaise);
    EXPECT_TRUE(cannon[1]->bRaise && !cannon[1]->bTurnLeft);
}

TEST_F(CannonTest, AClickHandsTheFirstPlayerThePointerAndANewKeyPressHandsItBack) {
    engine.input().addMouseContact();
    frameTick(*cannon[0]);
    EXPECT_EQ(player(0).bPointerControl, 1);
    frameTick(*cannon[0]);
    holdKey(kFire0);
    frameTick(*cannon[0]);
    EXPECT_EQ(player(0).bPointerControl, 0);
    holdKey(kFire0, false);
    engine.input().addMouseContact();
    frameTick(*cannon[1]);  // the second side never takes the pointer
    EXPECT_EQ(player(1).bPointerControl, 0);
}

TEST_F(CannonTest, TheMouseDistanceSetsThePowerAndAPointerBelowAimsAtTheNearerLimit) {
    Cannon& c = *cannon[0];
    player(0).bPointerControl = 1;
    pointAt(0.0f, 80.0f);  // v = 640: 64 .. 160 units span 250 .. 500
    frameTick(c);
    EXPECT_NEAR(c.aimPower, 250.0f + 250.0f * 16.0f / 96.0f, 0.01f);
    pointAt(0.0f, 200.0f);
    frameTick(c);
    EXPECT_FLOAT_EQ(c.aimPower, 500.0f);
    pointAt(100.0f, -30.0f);
    frameTick(c);
    EXPECT_FLOAT_EQ(c.aimAngle, Cannon::kMinAngle);
    pointAt(-100.0f, -30.0f);
    frameTick(c);
    EXPECT_FLOAT_EQ(c.aimAngle, Cannon::kMaxAngle);
    pointAt(10.0f, 5.0f);  // the turn stops on the pointer instead of swinging past
    run(c, 64);
    EXPECT_NEAR(c.heading, std::atan2(5.0f, 10.0f), 1e-5f);
}

TEST_F(CannonTest, ATouchSetsTheBarrelAtOnceAndASecondFingerFires) {
    player(0).bPointerControl = 1;
    WMhooks hooks;
    hooks.touchDown(400, 100, 7);
    pointAt(-50.0f, 50.0f);
    frameTick(*cannon[0]);
    frameTick(*cannon[0]);
    EXPECT_FLOAT_EQ(cannon[0]->heading, 3.0f * std::numbers::pi_v<float> / 4.0f);
    EXPECT_FALSE(cannon[0]->bFirePressed);
    hooks.touchDown(300, 100, 8);
    frameTick(*cannon[0]);
    EXPECT_TRUE(cannon[0]->bFirePressed);
}

TEST_F(CannonTest, AShotKicksTheBarrelBackForAQuarterSecondAndWithoutAWeaponNothingKicks) {
    Cannon& c = *cannon[0];
    holdKey(kFire0);
    frameTick(c);
    EXPECT_EQ(c.recoil, 0.0f);
    holdKey(kFire0, false);
    frameTick(c);
    c.setWeapon(Weapon::createFromType(0, 0));
    holdKey(kFire0);
    frameTick(c);
    EXPECT_FLOAT_EQ(c.recoil, 1.0f - 4.0f / 64.0f);
    EXPECT_EQ(count(list(GameController::kPlayerShotList)), 1);
    EXPECT_LT(c.barrel.position.y, c.position.y);  // pulled back along the upright barrel
    run(c, 16);
    EXPECT_EQ(c.recoil, 0.0f);
}
