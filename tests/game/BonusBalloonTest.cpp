#include <gtest/gtest.h>

#include "game/BonusBalloon.h"
#include "game/BonusBalloonKind.h"
#include "game/HudOverlay.h"
#include "game/InvasionWorld.h"
#include "game/Vehicle.h"
#include "game/WeaponButton.h"

class BonusBalloonTest : public InvasionWorld {
protected:
    BonusBalloonKind* balloon(int kind, double lifetime = 90.0) {
        return place(GameController::kBonusBalloonList, new BonusBalloonKind(kind, 10.0f, 100.0f, 0.0f, lifetime));
    }
    GameEntity* shot(int side) { return place(GameController::kPlayerShotList, new GameEntity(side)); }
};

TEST_F(BonusBalloonTest, SabotageHitsTheOtherSideAndHelpfulKindsThePopper) {
    start(2);
    Vehicle& v0 = *invasion->playerData[0]->pVehicle;
    Vehicle& v1 = *invasion->playerData[1]->pVehicle;
    const float power = v1.maxPower;
    balloon(5)->pop(shot(0));  // "Speed halved!"
    EXPECT_FLOAT_EQ(v1.maxPower, power * 0.5f);
    EXPECT_EQ(v1.bonusIcons.countChildren(), 1);
    const auto* label = static_cast<WeaponButton*>(invasion->pHud[1]->lastChild);
    EXPECT_EQ(label->text, u"Speed halved!");
    v0.energy = 0.2f;
    balloon(2)->pop(shot(0));  // "Double blaster capacity!"
    EXPECT_FLOAT_EQ(v0.energy, 2.0f);
    balloon(0)->pop(shot(0));
    balloon(0)->pop(shot(0));
    EXPECT_FLOAT_EQ(v0.attackFactor, 4.0f);  // the changes multiply
    invasion->wave = 1;
    invasion->spawnWave();  // until the next wave
    EXPECT_FLOAT_EQ(v0.attackFactor, 1.0f);
    EXPECT_FLOAT_EQ(v0.energy, 1.0f);
    EXPECT_EQ(v0.bonusIcons.countChildren(), 0);
}

// A hit from no side pops the balloon but gives nobody anything; a balloon pops once
// only; a target side without a vehicle gets no change but still sees the label.
TEST_F(BonusBalloonTest, APopWithoutASideOrTargetGivesNoBonusAndNothingTwice) {
    start(1);
    global->configuration.detail = 0;  // no puffs either
    Vehicle& v0 = *invasion->playerData[0]->pVehicle;
    BonusBalloonKind* stray = balloon(0);
    stray->pop(shot(-1));
    stray->pop(nullptr);
    EXPECT_TRUE(stray->pendingDelete);
    EXPECT_FLOAT_EQ(v0.attackFactor, 1.0f);
    EXPECT_EQ(invasion->pHud[0]->countChildren(), 0);
    BonusBalloonKind* twice = balloon(0);
    twice->pop(shot(0));
    twice->pop(shot(0));
    EXPECT_FLOAT_EQ(v0.attackFactor, 2.0f);
    balloon(3)->pop(shot(0));  // "Blaster halved!" for side 1, who has no cannon
    EXPECT_FLOAT_EQ(v0.energyCap, 1.0f);
    EXPECT_EQ(invasion->pHud[1]->countChildren(), 1);
    EXPECT_EQ(countOf(GameController::kEffectList), 0);
}
