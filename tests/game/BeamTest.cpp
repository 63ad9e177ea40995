// LaserBeam and LightningBolt: reach, the target they strike, how often, and their fade.
#include <gtest/gtest.h>

#include <cmath>

#include "game/LaserBeam.h"
#include "game/LightningBolt.h"
#include "render/Quad.h"
#include "support/GameFxWorld.h"

namespace {
class BeamTest : public GameFxWorld {
protected:
    QorBase& beams() { return list(GameController::kBeamList); }
    template <class Beam>
    Beam* fire() {
        auto* beam = new Beam(-1, 0.0f, 0.0f, 0.0f, 0.0f);
        beams().addChild(beam);
        return beam;
    }
    // Frames of `dt` in which the weapon holds `bolt` (it resets the fade first).
    void hold(LightningBolt* bolt, int frames, double dt) {
        for (int i = 0; i < frames; ++i, clock += dt) {
            bolt->fade = 0.0;
            tickInScene(beams(), clock, dt);
        }
    }
    double clock = 0.0;
};
}  // namespace

TEST_F(BeamTest, ALaserStrikesTheNearestTargetAheadOnceEndsThereAndFadesInAQuarterSecond) {
    CountingTarget* far = addTarget(GameController::kEnemyList, 500.0f, 5.0f);
    CountingTarget* near = addTarget(GameController::kBonusBalloonList, 300.0f, -5.0f);
    CountingTarget* behind = addTarget(GameController::kEnemyBombList, -100.0f, 0.0f);
    CountingTarget* aside = addTarget(GameController::kEnemyBombList, 200.0f, 40.0f);
    game->bBloatedProjectiles = 1;  // thicker only
    auto* beam = fire<LaserBeam>();
    EXPECT_FLOAT_EQ(beam->pQuad->width, 1024.0f);  // the texture repeated along it
    EXPECT_FLOAT_EQ(beam->scale.y, 2.0f);
    for (int i = 0; i < 4; ++i) tickInScene(beams(), i * 0.05, 0.05);
    EXPECT_NEAR(beam->length, std::hypot(300.0f, 5.0f), 1e-3f);
    EXPECT_FLOAT_EQ(near->health, 100.0f - 0.4f * 1.01f);
    EXPECT_FLOAT_EQ(beam->velocity.x, 1024.0f);
    EXPECT_EQ(near->hits + far->hits + behind->hits + aside->hits, 1);
    EXPECT_EQ(beam->color >> 24, 102u);  // 255 - 255 x 0.6
    tickInScene(beams(), 0.2, 0.05);
    EXPECT_EQ(beams().countChildren(), 0);
}

TEST_F(BeamTest, AHeldBoltStrikesAtMostTwentyTimesASecondAndAReleasedOneNeverAgain) {
    CountingTarget* target = addTarget(GameController::kEnemyList, 300.0f, 0.0f);
    auto* bolt = fire<LightningBolt>();
    EXPECT_FLOAT_EQ(bolt->length, 1024.0f);
    hold(bolt, 60, 1.0 / 60.0);
    EXPECT_GE(target->hits, 19);
    EXPECT_LE(target->hits, 20);
    EXPECT_FLOAT_EQ(bolt->length, 300.0f);
    const int held = target->hits;
    hold(bolt, 5, 0.1);  // long frames: still one strike a frame
    EXPECT_EQ(target->hits, held + 5);

    for (int i = 0; i < 4; ++i, clock += 0.05) tickInScene(beams(), clock, 0.05);
    EXPECT_EQ(target->hits, held + 5);
    EXPECT_EQ(beams().countChildren(), 0);
}

TEST_F(BeamTest, OnlyWhatLiesAheadOfTheMuzzleIsStruckOrWhatTheMuzzleIsIn) {
    // Beside and a little behind: the whole line would cross its circle, the beam does not.
    CountingTarget* behind = addTarget(GameController::kEnemyList, -12.0f, 9.0f);
    fire<LaserBeam>();
    auto* bolt = fire<LightningBolt>();
    hold(bolt, 4, 0.05);
    EXPECT_EQ(behind->hits, 0);
    EXPECT_FLOAT_EQ(bolt->length, 1024.0f);
    CountingTarget* around = addTarget(GameController::kEnemyBombList, -5.0f, 0.0f);
    hold(bolt, 2, 0.05);
    EXPECT_GT(around->hits, 0);
}
