#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "game/ArmedGame.h"
#include "game/Vehicle.h"

namespace {
constexpr float kPi = std::numbers::pi_v<float>;
using VehicleTest = ArmedGame;
}  // namespace

TEST_F(VehicleTest, EnergyRechargesAQuarterPerSecondUpToTheCap) {
    Vehicle& v = *place(GameController::kVehicleList, new Vehicle(0));
    v.energy = 0.9f;
    for (int i = 0; i < 64; ++i) frameTick(v);
    EXPECT_FLOAT_EQ(v.energy, 1.0f);
    v.energy = 0.5f;
    frameTick(v, 1.0);
    EXPECT_FLOAT_EQ(v.energy, 0.75f);
}

TEST_F(VehicleTest, TheFiringSolutionLeadsAMovingTargetAndLiftsForTheFall) {
    Vehicle v(0);
    GameEntity target(-1);
    target.position = Vector3{100.0f, 100.0f, 0.0f};
    target.velocity = Vector3{-50.0f, 0.0f, 0.0f};
    v.heading = kPi / 2.0f;
    v.power = 100.0f;
    EXPECT_FLOAT_EQ(v.computeAim(&target, false, 0.0f, 0.0f, 0.0f), -kPi / 4.0f);
    EXPECT_TRUE(v.bTurnRight && !v.bTurnLeft);
    // Led: after the flight of sqrt(2) s the target stands 50 sqrt(2) further left.
    const float lead = std::atan2(100.0f, 100.0f - 50.0f * std::sqrt(2.0f)) - kPi / 2.0f;
    EXPECT_NEAR(v.computeAim(&target, true, 0.0f, 0.0f, 0.0f), lead, 1e-5f);
    const float lifted = v.computeAim(&target, false, 0.0f, -128.0f, 0.0f);
    EXPECT_GT(lifted, -kPi / 4.0f);
    EXPECT_LT(lifted, 0.0f);
    // Without power there is no flight time: it aims where the target is, never at NaN.
    v.power = 0.0f;
    EXPECT_FLOAT_EQ(v.computeAim(&target, true, 0.0f, -128.0f, 0.0f), -kPi / 4.0f);
}
