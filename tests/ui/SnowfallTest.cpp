#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "engine/Random.h"
#include "render/Camera.h"
#include "ui/Snowfall.h"
#include "ui/StackFixture.h"

namespace {
class SnowfallTest : public StackFixture {
protected:
    void SetUp() override {
        StackFixture::SetUp();
        if (!started) return;
        registerQuadTexture(u"snowflake", 16, 16, 0xFFFFFFFFu);
        camera = new Camera();
        owned->addChild(camera);
    }
    Camera* camera = nullptr;
};
constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;
}  // namespace

TEST_F(SnowfallTest, FlakesStartFromTheSharedGeneratorInAFixedOrder) {
    Random::seed(4242);
    Snowfall snow(camera, 3.0f);
    Random::seed(4242);
    const float phase = Random::fraction() * kTwoPi;
    const float z = Random::fraction() * -400.0f;
    const float y = -720.0f + Random::fraction() * 1440.0f;
    const float x = -1200.0f + Random::fraction() * 2400.0f;
    ASSERT_EQ(snow.flakes.size(), 512u);
    EXPECT_FLOAT_EQ(snow.flakes[0].phase, phase);
    EXPECT_FLOAT_EQ(snow.flakes[0].z, z);
    EXPECT_FLOAT_EQ(snow.flakes[0].y, y);
    EXPECT_FLOAT_EQ(snow.flakes[0].x, x);
    for (const auto& f : snow.flakes) {
        EXPECT_LE(std::fabs(f.x), 1200.0f);
        EXPECT_LE(std::fabs(f.y), 720.0f);
        EXPECT_LE(f.z, 0.0f);
        EXPECT_GT(f.z, -400.0f);
    }
}

TEST_F(SnowfallTest, AFlakeBelowTheBoxComesBackAtTheTopAndKeepsItsX) {
    camera->position = Vector3{0.0f, 0.0f, -400.0f};
    Snowfall snow(camera, 1.0f);
    Snowfall::Flake& f = snow.flakes[0];
    f.x = 100.0f;
    f.y = -241.0f;
    f.phase = 0.0f;
    snow.tick(0.0, 0.0);
    EXPECT_FLOAT_EQ(f.y, -241.0f + 480.0f);
    EXPECT_FLOAT_EQ(f.x, 100.0f);
    EXPECT_FLOAT_EQ(f.drawn.x, 100.0f + 16.0f);  // cos(0) sway
    snow.tick(0.0, 0.5);
    EXPECT_FLOAT_EQ(f.y, 239.0f - 64.0f);
    EXPECT_FLOAT_EQ(f.phase, 1.0f);
    EXPECT_FLOAT_EQ(f.rotation.x, 1.0f);
    EXPECT_FLOAT_EQ(f.rotation.y, 1.0f);
}

TEST_F(SnowfallTest, AfterACameraJumpFlakesComeBackOneBoxPerFrame) {
    camera->position = Vector3{0.0f, 0.0f, -400.0f};
    Snowfall snow(camera, 1.0f);
    camera->position.x = 2000.0f;  // two and a half boxes to the right
    snow.tick(0.0, 0.0);
    for (const auto& f : snow.flakes) EXPECT_LE(f.x, 400.0f + 800.0f);
    snow.tick(0.0, 0.0);
    snow.tick(0.0, 0.0);
    for (const auto& f : snow.flakes) {
        EXPECT_GE(f.x, 2000.0f - 400.0f);
        EXPECT_LE(f.x, 2000.0f + 400.0f);
    }
}

TEST_F(SnowfallTest, ThePhaseStaysWithinOneTurn) {
    Snowfall snow(camera, 1.0f);
    for (int i = 0; i < 100; ++i) snow.tick(0.0, 0.37);
    for (const auto& f : snow.flakes) {
        EXPECT_GE(f.phase, 0.0f);
        EXPECT_LT(f.phase, kTwoPi);
    }
}
