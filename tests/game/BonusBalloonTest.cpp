#include <gtest/gtest.h>

#include "game/BonusBalloon.h"
#include "game/BonusBalloonKind.h"
#include "game/HudOverlay.h"
#include "game/InvasionWorld.h"
#include "game/PlayerData.h"
#include "game/Vehicle.h"
#include "game/WeaponButton.h"

namespace {
int flareBursts(const GameController& game) { return game.layer(GameController::kEffectList)->countChildren(); }
}  // namespace

class BonusBalloonTest : public InvasionWorld {
protected:
    BonusBalloonKind* balloon(int kind, double lifetime = 90.0) {
        auto* b = new BonusBalloonKind(kind, 10.0f, 100.0f, 0.0f, lifetime);
        game->layer(GameController::kBonusBalloonList)->addChild(b);
        return b;
    }
    GameEntity* shot(int side) {
        auto* s = new GameEntity(side);
        game->layer(GameController::kPlayerShotList)->addChild(s);
        return s;
    }
};

TEST_F(BonusBalloonTest, BobsAroundItsPlaceBreathesAndLeavesWhenItsTimeRunsOut) {
    start();
    BonusBalloonKind* b = balloon(0, 90.0);
    BonusBalloonKind* forever = balloon(1, 0.0);
    for (double t = 0.0; t < 90.0 - 1e-9; t += 0.25) {
        b->update(t, 0.25);
        forever->update(t, 0.25);
        ASSERT_LE(std::abs(b->position.y - 100.0f), 16.0f);
        ASSERT_FLOAT_EQ(b->position.x, 10.0f);
        ASSERT_GE(b->scale.x, 0.95f);
        ASSERT_LE(b->scale.x, 1.05f);
        ASSERT_FLOAT_EQ(b->scale.x * b->scale.y, 1.0f);
        ASSERT_EQ(b->pendingDelete != 0, t > 89.5) << t;
    }
    EXPECT_TRUE(b->pendingDelete);
    EXPECT_FALSE(forever->pendingDelete);
    EXPECT_EQ(flareBursts(*game), 2);  // one puff each on the first update
}

TEST_F(BonusBalloonTest, SabotageHitsTheOtherSideAndHelpfulKindsThePopper) {
    start(2);
    Vehicle& v0 = *game->playerData[0]->pVehicle;
    Vehicle& v1 = *game->playerData[1]->pVehicle;
    const float power = v1.maxPower;
    balloon(5)->pop(shot(0));  // "Speed halved!"
    EXPECT_FLOAT_EQ(v1.maxPower, power * 0.5f);
    EXPECT_EQ(v1.bonusIcons.countChildren(), 1);
    auto* label = dynamic_cast<WeaponButton*>(static_cast<QorBase*>(game->pHud[1]->lastChild));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text, u"Speed halved!");

    v0.energy = 0.2f;
    balloon(2)->pop(shot(0));  // "Double blaster capacity!"
    EXPECT_FLOAT_EQ(v0.energyCap, 2.0f);
    EXPECT_FLOAT_EQ(v0.energy, 2.0f);
    balloon(0)->pop(shot(0));
    balloon(0)->pop(shot(0));
    EXPECT_FLOAT_EQ(v0.attackFactor, 4.0f);  // the changes multiply
    EXPECT_EQ(v0.bonusIcons.countChildren(), 3);
    // The next wave resets them.
    game->wave = 1;
    game->spawnWave();
    EXPECT_FLOAT_EQ(v0.attackFactor, 1.0f);
    EXPECT_FLOAT_EQ(v0.energy, 1.0f);
    EXPECT_EQ(v0.bonusIcons.countChildren(), 0);
}

// A hit from no side pops the balloon but gives nobody anything, and a balloon is
// popped once only; a target side without a vehicle gets no change.
TEST_F(BonusBalloonTest, APopWithoutASideOrTargetGivesNoBonusAndNothingTwice) {
    start(1);
    global->configuration.detail = 0;  // no puffs either
    Vehicle& v0 = *game->playerData[0]->pVehicle;
    BonusBalloonKind* stray = balloon(0);
    stray->pop(shot(-1));
    stray->pop(nullptr);
    EXPECT_TRUE(stray->pendingDelete);
    EXPECT_FLOAT_EQ(v0.attackFactor, 1.0f);
    EXPECT_EQ(game->pHud[0]->countChildren(), 0);

    BonusBalloonKind* twice = balloon(0);
    twice->pop(shot(0));
    twice->pop(shot(0));
    EXPECT_FLOAT_EQ(v0.attackFactor, 2.0f);

    balloon(3)->pop(shot(0));  // "Blaster halved!" for side 1, who has no cannon
    EXPECT_FLOAT_EQ(v0.energyCap, 1.0f);
    EXPECT_EQ(game->pHud[1]->countChildren(), 1);  // the label still tells
    EXPECT_EQ(flareBursts(*game), 0);
}

// The collision pass pops a balloon with the shot that reaches it and scores its points.
TEST_F(BonusBalloonTest, AShotPopsItThroughTheCollisionPassAndScores) {
    start(1);
    BonusBalloonKind* b = balloon(1);
    GameEntity* s = shot(0);
    s->position = b->position;
    s->contactDamage = 5.0f;
    s->updateXform();
    game->collide();
    EXPECT_TRUE(b->pendingDelete);
    EXPECT_FLOAT_EQ(game->playerData[0]->pVehicle->defenceFactor, 0.5f);
    EXPECT_EQ(game->playerData[0]->getScore(), 100);
}
