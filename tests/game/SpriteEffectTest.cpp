#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

#include "engine/Random.h"
#include "game/SpriteEffect.h"
#include "render/Texture.h"
#include "support/BareEngine.h"
#include "support/EffectTextures.h"

namespace {
constexpr float kPi = std::numbers::pi_v<float>;

class SpriteEffectTest : public ::testing::Test {
protected:
    void SetUp() override { Random::seed(1234); }
    BareEngine bare;
    EffectTextures textures;
};

float speedOf(const EffectParticle& p) { return std::hypot(p.velocity.x, p.velocity.y); }
}  // namespace

TEST_F(SpriteEffectTest, TheFrameFollowsHowFarTheLifeHasFallenBelowTheTopSpeed) {
    Texture* frames = textures.add(u"explosion", 4);
    SpriteEffect effect(10.0f, 20.0f, 0.0f, 1, 50.0f, 50.0f, 0.0f, 0.0f, 1.5f);
    EffectParticle& p = effect.particles[0];
    EXPECT_FLOAT_EQ(p.life, 50.0f);
    EXPECT_FLOAT_EQ(p.scale.x, 1.5f);
    EXPECT_EQ(p.pSkin, nullptr);  // the first frame comes with the first update

    effect.update(0.0, 0.5);  // life 50: frame trunc(4 x 0 / 51)
    EXPECT_EQ(p.pSkin, frames->skins[0]);
    EXPECT_FLOAT_EQ(p.life, 18.0f);
    effect.update(0.5, 0.25);  // life 18: frame trunc(4 x 32 / 51)
    EXPECT_EQ(p.pSkin, frames->skins[2]);
    EXPECT_FLOAT_EQ(p.position.x, 10.0f + 50.0f * 0.75f);
    EXPECT_FLOAT_EQ(p.position.y, 20.0f);
}

class SpriteEffectArcTest : public SpriteEffectTest, public ::testing::WithParamInterface<float> {};

TEST_P(SpriteEffectArcTest, OnlyAPartialArcShortensTheLivesTowardItsEdges) {
    textures.addEffectTextures();
    const float arc = GetParam();
    const float direction = 1.0f;
    SpriteEffect effect(0.0f, 0.0f, 0.0f, 200, 10.0f, 100.0f, direction, arc, 1.0f);
    float smallestShare = 1.0f;
    for (int i = 0; i < effect.particleCount; ++i) {
        const EffectParticle& p = effect.particles[i];
        const float share = p.life / speedOf(p);
        const float offset = std::atan2(p.velocity.y, p.velocity.x) - direction;
        EXPECT_NEAR(share, EffectParticle::arcLifeFactor(offset, arc), 1e-4f);
        smallestShare = std::min(smallestShare, share);
    }
    if (arc > 0.0f && arc < 2.0f * kPi) {
        EXPECT_GE(smallestShare, 0.1f - 1e-4f);
        EXPECT_LT(smallestShare, 0.2f);  // 200 particles reach close to the edges
    } else {
        EXPECT_NEAR(smallestShare, 1.0f, 1e-5f);
    }
}

INSTANTIATE_TEST_SUITE_P(Arcs, SpriteEffectArcTest, ::testing::Values(0.0f, kPi, 2.0f * kPi, 7.0f));

TEST_F(SpriteEffectTest, AnEffectLivesOneUpdatePastItsLastParticleThenItsListDeletesIt) {
    textures.addEffectTextures();
    QorBase list;
    list.addChild(new SpriteEffect(0.0f, 0.0f, 0.0f, 3, 64.0f, 64.0f, 0.0f, 0.0f, 1.0f));
    list.tick(0.0, 0.5);  // life 64 -> 32
    list.tick(0.5, 0.5);  // 32 -> 0: died in this update
    EXPECT_EQ(list.countChildren(), 1);
    list.tick(1.0, 0.5);  // nothing alive at the start: flagged, and deleted in passing
    EXPECT_EQ(list.countChildren(), 0);
}

TEST_F(SpriteEffectTest, AnEffectWithoutParticlesGoesAtItsFirstUpdate) {
    textures.addEffectTextures();
    for (int count : {0, -3}) {
        SpriteEffect effect(0.0f, 0.0f, 0.0f, count, 0.0f, 50.0f, 0.0f, kPi, 1.0f);
        EXPECT_EQ(effect.particleCount, 0);
        effect.render();
        effect.update(0.0, 0.01);
        EXPECT_EQ(effect.pendingDelete, 1);
    }
}

TEST_F(SpriteEffectTest, SmokeTakesTheSmokeFramesAndTintsEveryPuff) {
    textures.addEffectTextures();
    Texture* smoke = textures.textures[1];
    std::unique_ptr<SpriteEffect> puff(
        SpriteEffect::createSmoke(0.0f, 0.0f, 0.0f, 5, 25.0f, 100.0f, kPi / 2.0f, kPi / 2.0f, 2.0f, 0xFF808080u));
    EXPECT_EQ(puff->frames, smoke);
    puff->update(0.0, 0.01);
    for (int i = 0; i < puff->particleCount; ++i) {
        EXPECT_EQ(puff->particles[i].color, 0xFF808080u);
        EXPECT_NE(std::find(smoke->skins.begin(), smoke->skins.end(), puff->particles[i].pSkin), smoke->skins.end());
    }
}

TEST_F(SpriteEffectTest, TheSameSeedGivesTheSameExplosion) {
    textures.addEffectTextures();
    auto run = [] {
        Random::seed(99);
        SpriteEffect effect(0.0f, 0.0f, 0.0f, 10, 0.0f, 50.0f, 0.3f, kPi, 1.5f);
        for (int i = 0; i < 20; ++i) effect.update(i * 0.02, 0.02);
        std::vector<float> state;
        for (int i = 0; i < effect.particleCount; ++i) {
            const EffectParticle& p = effect.particles[i];
            state.insert(state.end(), {p.position.x, p.position.y, p.rotation.z, p.life});
        }
        return state;
    };
    EXPECT_EQ(run(), run());
}
