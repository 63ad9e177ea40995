#include <gtest/gtest.h>

#include "game/ArmedGame.h"
#include "game/Bomb.h"
#include "game/Splash.h"
#include "game/SpriteEffect.h"
#include "game/makeBomb.h"

namespace {
class BombTest : public ArmedGame {
protected:
    Bomb& drop(Bomb* bomb) { return *place(GameController::kBombList, bomb); }
    // Ticks until the bomb ends or `limit` seconds have passed; the seconds it lasted.
    double fall(Bomb& bomb, double limit = 10.0) {
        double t = 0.0;
        for (; !bomb.pendingDelete && t < limit; t += 1.0 / 64.0) frameTick(bomb);
        return t;
    }
    int effects() { return count(list(GameController::kEffectList)); }
};
}  // namespace

TEST_F(BombTest, ABombDroppedAtRestFallsTheSeaHeightUnderItsMakersGravityAndSplashes) {
    game->bLimitBombRange = 0;  // the Invasion: no time-out
    Bomb& bay = drop(new Bomb(1, 0.0f, 100.0f, 0.0f, 0.0f, 0.0f, 0.0f));
    EXPECT_NEAR(fall(bay), 1.40, 1.0 / 32.0);
    EXPECT_NEAR(bay.heading, -1.5707964f, 1e-6f);  // pointing down its flight
    Bomb& slow = drop(makeBomb(1, 0.0f, 100.0f, 0.0f, 0.0f, 0.0f, 0.0f));
    EXPECT_NEAR(fall(slow), 2.80, 1.0 / 32.0);
    EXPECT_EQ(effects(), 2);
    EXPECT_NE(dynamic_cast<Splash*>(static_cast<QorBase*>(list(GameController::kEffectList).firstChild)), nullptr);
}

TEST_F(BombTest, BouncyBombsComeBackAtHalfSpeedUntilTheyComeDownSlowerThanTwenty) {
    game->bBouncyBombs = 1;
    Bomb& bomb = drop(new Bomb(0, 0.0f, -24.0f, 0.0f, 0.0f, -100.0f, 0.0f));
    bomb.acceleration.y = 0.0f;  // a steady fall makes the speeds exact
    for (float expected : {50.0f, 25.0f}) {
        frameTick(bomb, 0.08);
        EXPECT_FLOAT_EQ(bomb.velocity.y, expected);
        EXPECT_FALSE(bomb.pendingDelete);
        bomb.position.y = -24.0f;  // back above the water, coming down as fast as it left
        bomb.velocity.y = -expected;
    }
    frameTick(bomb, 0.08);
    EXPECT_TRUE(bomb.pendingDelete);  // 12.5 is too slow to bounce
    EXPECT_EQ(effects(), 3);          // a splash at every contact
}

TEST_F(BombTest, WhereTheRangeIsLimitedAnUntouchedBombFizzlesOutAfterThreeSeconds) {
    for (std::uint8_t limited : {1, 0}) {
        game->bLimitBombRange = limited;
        Bomb& bomb = drop(new Bomb(0, 0.0f, 1000.0f, 0.0f, 0.0f, 0.0f, 0.0f));
        bomb.acceleration.y = 0.0f;
        EXPECT_NEAR(fall(bomb, 5.0), limited ? 3.0 : 5.0, 1.0 / 32.0);
    }
    EXPECT_EQ(effects(), 1);  // one puff of smoke
}

TEST_F(BombTest, TheExplosionAndTheSplashFollowTheDetailLevel) {
    for (int detail : {0, 1, 7}) {  // 7: more than the options offer counts as high
        engine.app().configuration.detail = detail;
        list(GameController::kEffectList).deleteChildren();
        drop(new Bomb(0, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f)).takeDamage(nullptr, 1.0f);
        auto* blast = dynamic_cast<SpriteEffect*>(static_cast<QorBase*>(list(GameController::kEffectList).firstChild));
        ASSERT_NE(blast, nullptr);
        EXPECT_EQ(blast->particleCount, detail == 0 ? 4 : 10);
        Bomb& wet = drop(new Bomb(0, 0.0f, -24.0f, 0.0f, 0.0f, -100.0f, 0.0f));
        frameTick(wet);
        EXPECT_TRUE(wet.pendingDelete);
        EXPECT_EQ(effects(), detail == 0 ? 1 : 2);
    }
}
