// SpriteEffect, Splash and FlareBurst: frames, arcs, droplets, sparks and their ends.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>

#include "game/FlareBurst.h"
#include "game/Splash.h"
#include "game/SpriteEffect.h"
#include "support/GameFxWorld.h"

namespace {
constexpr float kPi = std::numbers::pi_v<float>;
using EffectsTest = GameFxWorld;
}  // namespace

TEST_F(EffectsTest, AnExplosionFrameFollowsHowFarTheLifeHasFallenBelowTheTopSpeed) {
    auto* frames = new Texture(16, 16, 0);  // four frames
    for (int i = 1; i < 4; ++i) frames->skins.push_back(new Quad());
    engine.textures.push_back(frames);
    SpriteEffect effect(10.0f, 20.0f, 0.0f, 1, 50.0f, 50.0f, 0.0f, 0.0f, 1.5f);
    effect.frames = frames;
    EffectParticle& p = effect.particles[0];
    effect.update(0.0, 0.5);  // life 50: frame trunc(4 x 0 / 51)
    EXPECT_EQ(p.pSkin, frames->skins[0]);
    EXPECT_FLOAT_EQ(p.life, 18.0f);
    effect.update(0.5, 0.25);  // life 18: frame trunc(4 x 32 / 51)
    EXPECT_EQ(p.pSkin, frames->skins[2]);
    EXPECT_FLOAT_EQ(p.position.x, 10.0f + 50.0f * 0.75f);
    EXPECT_FLOAT_EQ(p.scale.x, 1.5f);
}

class EffectArcTest : public GameFxWorld, public ::testing::WithParamInterface<float> {};

TEST_P(EffectArcTest, OnlyAPartialArcShortensLivesTowardItsEdgesDownToATenth) {
    const float arc = GetParam();
    SpriteEffect effect(0.0f, 0.0f, 0.0f, 200, 10.0f, 100.0f, 1.0f, arc, 1.0f);
    float smallest = 1.0f;
    for (int i = 0; i < effect.particleCount; ++i) {
        const EffectParticle& p = effect.particles[i];
        const float share = p.life / std::hypot(p.velocity.x, p.velocity.y);
        EXPECT_NEAR(share, EffectParticle::arcLifeFactor(std::atan2(p.velocity.y, p.velocity.x) - 1.0f, arc), 1e-4f);
        smallest = std::min(smallest, share);
    }
    const bool partial = arc > 0.0f && arc < 2.0f * kPi;
    EXPECT_GE(smallest, partial ? 0.0999f : 0.99999f);
    EXPECT_LT(smallest, partial ? 0.2f : 1.00001f);
}

INSTANTIATE_TEST_SUITE_P(Arcs, EffectArcTest, ::testing::Values(0.0f, kPi, 2.0f * kPi, 7.0f));

// Each effect with 3 particles of life 64 (and none), made by the factory.
using EffectFactory = std::function<QorBase*(int count)>;
class EffectEndTest : public GameFxWorld, public ::testing::WithParamInterface<EffectFactory> {};

TEST_P(EffectEndTest, AnEffectGoesOnceNoParticleIsLeftAndAtOnceWithoutParticles) {
    QorBase& effects = list(GameController::kEffectList);
    effects.addChild(GetParam()(3));
    effects.addChild(GetParam()(0));
    effects.addChild(GetParam()(-2));
    tickInScene(effects, 0.0, 0.001);
    EXPECT_EQ(effects.countChildren(), 1);
    for (int i = 1; i < 20; ++i) tickInScene(effects, i * 0.1, 0.1);
    EXPECT_EQ(effects.countChildren(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Effects, EffectEndTest,
    ::testing::Values(
        EffectFactory([](int n) { return new SpriteEffect(0, 0, 0, n, 64.0f, 64.0f, 0, 0, 1); }),
        EffectFactory([](int n) { return SpriteEffect::createSmoke(0, 0, 0, n, 64.0f, 64.0f, 0, 0, 1, 0xFF808080u); }),
        EffectFactory([](int n) { return new Splash(0, 0, 0, n, 64.0f, 64.0f, kPi / 2, 0, 1); }),
        EffectFactory([](int n) { return new FlareBurst(0, 0, 0, n, 64.0f, 64.0f, 0, 2 * kPi, 2, 0xFFFFFFFFu); })));

TEST_F(EffectsTest, ADropletRisesAndStopsBackAtTheWaterWhileTheRingSpreadsForASecond) {
    Splash splash(0.0f, 100.0f, 0.0f, 1, 200.0f, 200.0f, kPi / 2.0f, 0.0f, 1.0f);
    Splash downward(0.0f, 0.0f, 0.0f, 1, 100.0f, 100.0f, -kPi / 2.0f, 0.0f, 1.0f);
    EffectParticle& drop = splash.particles[0];
    EXPECT_FLOAT_EQ(drop.position.y, 96.0f);  // starts just under the splash point
    float highest = drop.position.y;
    for (int i = 0; i < 100; ++i) {
        splash.update(i / 128.0, 1.0 / 128.0);
        downward.update(i / 128.0, 1.0 / 128.0);
        highest = std::max(highest, drop.position.y);
        if (i == 63) {  // half a second
            EXPECT_EQ(splash.ring.pSkin, texture(u"circularSplash")->skins[4]);
        }
    }
    EXPECT_NEAR(highest - 96.0f, 200.0f * 200.0f / (2.0f * 768.0f), 1.0f);
    EXPECT_LE(drop.position.y, 100.0f);
    EXPECT_GT(drop.position.y, 98.0f);
    EXPECT_FLOAT_EQ(downward.particles[0].position.y, -4.0f);

    Splash fast(0.0f, 0.0f, 0.0f, 1, 1000.0f, 1000.0f, kPi / 2.0f, 0.0f, 1.0f);
    fast.update(0.0, 0.01);  // a life beyond the frames' span holds the first frame
    EXPECT_EQ(fast.particles[0].pSkin, texture(u"splash")->skins[0]);
}

TEST_F(EffectsTest, ASparkFallsFromItsOldSpeedAndShrinksWithItsLife) {
    FlareBurst burst(0.0f, 0.0f, 0.0f, 1, 100.0f, 100.0f, kPi / 2.0f, 0.0f, 2.0f, 0xFF00FF00u);
    EffectParticle& spark = burst.particles[0];
    burst.update(0.0, 0.1);
    EXPECT_NEAR(spark.position.y, 10.0f, 1e-4f);
    EXPECT_NEAR(spark.velocity.y, 100.0f - 12.8f, 1e-4f);
    EXPECT_FLOAT_EQ(spark.scale.x, 0.1f + 1.9f * 100.0f / 101.0f);
    EXPECT_NEAR(spark.life, 100.0f - 12.8f, 1e-4f);
    EXPECT_EQ(spark.color, 0xFF00FF00u);
    EXPECT_EQ(spark.pSkin, texture(u"flare")->skins[0]);
}
