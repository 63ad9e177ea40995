#include <gtest/gtest.h>

#include "game/ArmedGame.h"
#include "game/BubbleProjectile.h"
#include "game/Cannon.h"
#include "game/Weapon.h"
#include "game/WeaponLightning.h"

namespace {
constexpr int kFire = 57;  // Space: the fire key of a lone player

class WeaponTest : public ArmedGame {
protected:
    void SetUp() override {
        game->computerPlayers = 1;
        cannon = place(GameController::kVehicleList, new Cannon(0));
        player(0).pVehicle = cannon;
        player(0).bPointerControl = 0;
        cannon->energyRecharge = 0.0f;
    }
    Weapon& arm(int type) {
        cannon->setWeapon(Weapon::createFromType(type, 0));
        return *cannon->weapon;
    }
    // `frames` frames of 1/64 s with the fire key down (or up).
    void fireFor(int frames, bool down = true) {
        holdKey(kFire, down);
        for (int i = 0; i < frames; ++i) frameTick(*cannon);
    }
    int shots(int index) { return count(list(index)); }

    Cannon* cannon = nullptr;
};
}  // namespace

TEST_F(WeaponTest, UnderAutocannonsTheBasicWeaponIsAFreeAutomaticGunSavedAsTypeZero) {
    game->bAutocannons = 1;
    const Weapon& autocannon = arm(0);
    EXPECT_EQ(autocannon.name, u"Autocannon");
    EXPECT_TRUE(autocannon.bAutomatic);
    EXPECT_EQ(autocannon.type, 0);
    EXPECT_EQ(autocannon.cost, 0.0f);
    EXPECT_EQ(autocannon.layer, &list(GameController::kPlayerShotList));
}

TEST_F(WeaponTest, AnUnknownTypeStopsTheProgram) {
    EXPECT_DEATH(Weapon::createFromType(6, 0), "Unknown weapon.");
    EXPECT_DEATH(Weapon::createFromType(-1, 0), "Unknown weapon.");
}

TEST_F(WeaponTest, AManualWeaponFiresOncePerPressAnAutomaticOneWhileHeld) {
    arm(3);
    fireFor(20);
    fireFor(1, false);
    fireFor(1);
    EXPECT_EQ(shots(GameController::kBeamList), 2);
    arm(2);
    fireFor(1, false);
    // Held for 0.5 s: a shot at once, then in the first frame 0.08 s later (every sixth).
    fireFor(32);
    EXPECT_EQ(shots(GameController::kPlayerShotList), 3 * 6);
    for (const BasicLink* b = list(GameController::kPlayerShotList).firstChild; b; b = b->next)
        EXPECT_FLOAT_EQ(static_cast<const BubbleProjectile*>(b)->speed, 768.0f);  // whatever the power
}

TEST_F(WeaponTest, AShotTheEnergyCannotPayForIsRefusedAndMarkedAlsoUnderNoBlaster) {
    for (bool noBlaster : {false, true}) {
        game->bNoBlaster = noBlaster;
        cannon->energy = 0.015f;
        const Weapon& laser = arm(3);
        fireFor(1);
        EXPECT_EQ(shots(GameController::kBeamList), 0);
        EXPECT_EQ(laser.bOutOfEnergy, 1);
        arm(2);
        fireFor(1);
        EXPECT_EQ(cannon->weapon->bOutOfEnergy, 0);
        EXPECT_FLOAT_EQ(cannon->energy, noBlaster ? 0.015f : 0.015f - 1.0f / 150.0f);
        fireFor(1, false);
    }
    EXPECT_EQ(shots(GameController::kPlayerShotList), 6);
}

TEST_F(WeaponTest, UnderMatrixFightEveryShotSlowsTheWorldForTwoSecondsOfEngineTime) {
    game->bMatrixFight = 1;
    arm(0);
    engine.clock.advance(10.0);
    fireFor(1);
    EXPECT_NEAR(game->slowMotionEnd, qor->pTimeKeeper->now() + 2.0, 1e-6);
}

TEST_F(WeaponTest, TheLightningSteersOneBoltWhileHeldPaysPerSecondAndRestsWhenDry) {
    auto& lightning = static_cast<WeaponLightning&>(arm(4));
    fireFor(1);
    const LightningBolt* first = lightning.currentBolt();
    ASSERT_NE(first, nullptr);
    EXPECT_FLOAT_EQ(cannon->energy, 1.0f);  // the first frame is free
    fireFor(64);
    EXPECT_EQ(lightning.currentBolt(), first);
    EXPECT_NEAR(cannon->energy, 0.9f, 1e-5f);
    fireFor(1, false);
    fireFor(1);
    EXPECT_NE(lightning.currentBolt(), first);
    EXPECT_EQ(shots(GameController::kBeamList), 2);
    cannon->energy = 0.001f;
    fireFor(1);
    EXPECT_EQ(lightning.currentBolt(), nullptr);
    EXPECT_EQ(lightning.bOutOfEnergy, 1);
    fireFor(16);  // resting for 0.5 s: no new bolt although fire is held
    EXPECT_EQ(shots(GameController::kBeamList), 2);
}
