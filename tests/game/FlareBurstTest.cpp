#include <gtest/gtest.h>

#include <numbers>

#include "engine/Random.h"
#include "game/FlareBurst.h"
#include "render/Texture.h"
#include "support/BareEngine.h"
#include "support/EffectTextures.h"

namespace {
constexpr float kPi = std::numbers::pi_v<float>;

class FlareBurstTest : public ::testing::Test {
protected:
    void SetUp() override {
        Random::seed(5);
        textures.addEffectTextures();
    }
    BareEngine bare;
    EffectTextures textures;
};
}  // namespace

TEST_F(FlareBurstTest, ASparkFallsFromItsOldSpeedAndShrinksWithItsLife) {
    FlareBurst burst(0.0f, 0.0f, 0.0f, 1, 100.0f, 100.0f, kPi / 2.0f, 0.0f, 2.0f, 0xFF00FF00u);
    EffectParticle& spark = burst.particles[0];
    EXPECT_EQ(spark.color, 0xFF00FF00u);
    EXPECT_FLOAT_EQ(spark.initialLife, 100.0f);
    EXPECT_FLOAT_EQ(burst.lifeDecay, 128.0f);

    burst.update(0.0, 0.1);
    EXPECT_NEAR(spark.position.y, 10.0f, 1e-4f);  // moved by the speed before this frame's fall
    EXPECT_NEAR(spark.velocity.y, 100.0f - 12.8f, 1e-4f);
    EXPECT_FLOAT_EQ(spark.scale.x, 0.1f + 1.9f * 100.0f / 101.0f);
    EXPECT_FLOAT_EQ(spark.scale.z, 2.0f);
    EXPECT_EQ(spark.pSkin, textures.textures[4]->skins[0]);
    EXPECT_NEAR(spark.life, 87.2f, 1e-4f);
}

TEST_F(FlareBurstTest, ABurstGoesInTheUpdateInWhichItsLastSparkDies) {
    FlareBurst empty(0.0f, 0.0f, 0.0f, 0, 25.0f, 50.0f, 0.0f, 2.0f * kPi, 2.0f, 0xFFFFFFFFu);
    empty.update(0.0, 0.01);
    EXPECT_EQ(empty.pendingDelete, 1);

    FlareBurst burst(0.0f, 0.0f, 0.0f, 10, 25.0f, 50.0f, 0.0f, 2.0f * kPi, 2.0f, 0xFFFFFFFFu);
    burst.update(0.0, 0.1);  // every life is at most 50 - 12.8
    EXPECT_EQ(burst.pendingDelete, 0);
    burst.update(0.1, 0.3);
    EXPECT_EQ(burst.pendingDelete, 1);
}
