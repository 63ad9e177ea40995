#include <gtest/gtest.h>

#include <array>
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

TEST(SnowfallCullTest, OnlyFlakesWhollyBeyondOneEdgeAreLeftOut) {
    // Clip space x = world x / 100, y = world y / 50: the view is x in -100..100, y in -50..50.
    Matrix view = Matrix::scaling(0.01f, 0.02f, 1.0f);
    const auto flake = [](float x, float y) {
        return std::array<Vector3, 4>{Vector3{x - 2, y + 2, 0}, Vector3{x + 2, y + 2, 0}, Vector3{x - 2, y - 2, 0},
                                      Vector3{x + 2, y - 2, 0}};
    };
    const auto outside = [&](float x, float y, float margin = 0.0f) {
        const auto c = flake(x, y);
        const Vector3 corners[4] = {c[0], c[1], c[2], c[3]};
        return Snowfall::outsideView(corners, view, margin, margin);
    };
    EXPECT_FALSE(outside(0, 0));
    EXPECT_FALSE(outside(101, 0)) << "one corner still inside";
    EXPECT_TRUE(outside(103, 0));
    EXPECT_TRUE(outside(-103, 0));
    EXPECT_TRUE(outside(0, 53));
    EXPECT_TRUE(outside(0, -53));
    EXPECT_FALSE(outside(103, 0, 0.02f)) << "within the margin";
    EXPECT_TRUE(outside(103, 53));
    view.m[3][3] = -1.0f;  // behind the eye: nothing is decided
    EXPECT_FALSE(outside(103, 0));
}
