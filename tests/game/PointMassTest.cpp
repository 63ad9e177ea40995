#include <gtest/gtest.h>

#include "game/PointMass.h"
#include "support/HeadlessEngine.h"

using PointMassTest = HeadlessEngine;

TEST_F(PointMassTest, AMassMovesByForceOverMassAndStaysPutAtRest) {
    PointMass m;
    m.position = Vector3{1.0f, 0.0f, 0.0f};
    m.previousPosition = Vector3{5.0f, 5.0f, 5.0f};
    m.drag = 5.0f;
    m.tick(0.0, 0.01);  // at rest without force: nothing moves, not even the previous position
    EXPECT_FLOAT_EQ(m.previousPosition.x, 5.0f);
    m.drag = 0.0f;
    m.mass = 0.01f;
    m.force = Vector3{-1.0f, 0.0f, 0.0f};
    m.tick(0.0, 0.01);
    EXPECT_FLOAT_EQ(m.velocity.x, -1.0f);
    EXPECT_FLOAT_EQ(m.position.x, 0.99f);
    EXPECT_FLOAT_EQ(m.previousPosition.x, 1.0f);
    EXPECT_EQ(m.force.x, 0.0f);
}

TEST_F(PointMassTest, DragSlowsAndStopsExactlyAndTheSpeedIsHeldToTheMaximum) {
    PointMass m;
    m.velocity = Vector3{6.0f, 8.0f, 0.0f};
    m.drag = 100.0f;
    m.integrate(0.0, 0.05);  // loses 5 of its 10
    EXPECT_FLOAT_EQ(m.velocity.x, 3.0f);
    m.integrate(0.05, 0.1);  // would lose 10 of 5
    EXPECT_EQ(m.velocity.x, 0.0f);
    EXPECT_EQ(m.velocity.y, 0.0f);
    m.drag = 0.0f;
    m.velocity = Vector3{0.0f, -30.0f, 40.0f};
    m.maxSpeed = 5.0f;
    m.integrate(0.0, 1.0);
    EXPECT_FLOAT_EQ(m.velocity.y, -3.0f);
    EXPECT_FLOAT_EQ(m.velocity.z, 4.0f);
}
