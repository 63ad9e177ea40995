#include <gtest/gtest.h>

#include <algorithm>
#include <numbers>

#include "engine/Random.h"
#include "game/Splash.h"
#include "render/Texture.h"
#include "support/BareEngine.h"
#include "support/EffectTextures.h"

namespace {
constexpr float kPi = std::numbers::pi_v<float>;

class SplashTest : public ::testing::Test {
protected:
    void SetUp() override {
        Random::seed(77);
        textures.addEffectTextures();
    }
    BareEngine bare;
    EffectTextures textures;
};
}  // namespace

TEST_F(SplashTest, ADropletThrownUpRisesAndStopsWhenItIsBackAtTheWater) {
    Splash splash(0.0f, 100.0f, 0.0f, 1, 200.0f, 200.0f, kPi / 2.0f, 0.0f, 1.0f);
    EffectParticle& drop = splash.particles[0];
    EXPECT_FLOAT_EQ(drop.position.y, 96.0f);  // starts just under the splash point
    float highest = drop.position.y;
    for (int i = 0; i < 100; ++i) {
        splash.update(i / 128.0, 1.0 / 128.0);
        highest = std::max(highest, drop.position.y);
    }
    // 200^2 / (2 x 768) = 26 units, less what the frame steps lose.
    EXPECT_NEAR(highest - 96.0f, 26.0f, 1.0f);
    EXPECT_LE(drop.position.y, 100.0f);
    EXPECT_GT(drop.position.y, 97.0f);
    const float rest = drop.position.y;
    splash.update(1.0, 1.0 / 128.0);
    EXPECT_EQ(drop.position.y, rest);
    EXPECT_NEAR(drop.position.x, 0.0f, 1e-3f);
}

TEST_F(SplashTest, TheRingSpreadsForOneSecondAndIsDroppedWithTheDroplets) {
    Texture* ringFrames = textures.textures[3];
    Splash splash(0.0f, 0.0f, 0.0f, 2, 10.0f, 10.0f, kPi / 2.0f, 0.0f, 2.0f);
    EXPECT_FLOAT_EQ(splash.ring.scale.x, 2.0f);
    splash.update(0.0, 0.03);  // ring age 0.03: frame 0; droplets' life 10 -> 4.24
    EXPECT_EQ(splash.ring.pSkin, ringFrames->skins[0]);
    splash.update(0.03, 0.03);  // the droplets die in this update ...
    EXPECT_EQ(splash.pendingDelete, 0);
    splash.update(0.06, 0.03);  // ... and the splash goes long before its ring is done
    EXPECT_EQ(splash.pendingDelete, 1);

    Splash longer(0.0f, 0.0f, 0.0f, 1, 300.0f, 300.0f, kPi / 2.0f, 0.0f, 1.0f);
    longer.update(0.0, 0.5);
    EXPECT_EQ(longer.ring.pSkin, ringFrames->skins[4]);
    longer.update(0.5, 0.49);
    EXPECT_EQ(longer.ring.pSkin, ringFrames->skins[7]);
    longer.update(0.99, 0.02);  // past one second the ring keeps its last frame, unseen
    EXPECT_EQ(longer.ring.pSkin, ringFrames->skins[7]);
    EXPECT_GE(longer.ringAge, Splash::kRingTime);
}

TEST_F(SplashTest, DropletsFasterThanTheFrameSpanWaitOnNoFrameAndDropletsThrownDownStay) {
    Texture* dropletFrames = textures.textures[2];
    Splash fast(0.0f, 0.0f, 0.0f, 1, 1000.0f, 1000.0f, kPi / 2.0f, 0.0f, 1.0f);
    fast.update(0.0, 0.01);
    EXPECT_EQ(fast.particles[0].pSkin, nullptr);
    fast.update(0.01, 3.2);  // life 998 -> 383.6: within the frames again
    fast.update(3.21, 0.01);
    EXPECT_EQ(fast.particles[0].pSkin, dropletFrames->skins[0]);

    Splash down(0.0f, 0.0f, 0.0f, 1, 100.0f, 100.0f, -kPi / 2.0f, 0.0f, 1.0f);
    down.update(0.0, 0.1);
    EXPECT_FLOAT_EQ(down.particles[0].position.y, -4.0f);
}
