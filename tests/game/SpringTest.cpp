#include <gtest/gtest.h>

#include "game/Spring.h"
#include "support/HeadlessEngine.h"

using SpringTest = HeadlessEngine;

TEST_F(SpringTest, PullsBackByItsForceAndDampingNeverReversesTheVelocity) {
    auto* spring = new Spring();
    spring->mass = 0.01f;  // as a palm sets it
    spring->damping = 2.0f;
    spring->position.x = 1.0f;
    spring->update(0.0, 0.01);
    EXPECT_FLOAT_EQ(spring->velocity.x, -1.0f);
    EXPECT_FLOAT_EQ(spring->position.x, 0.99f);

    spring->position.x = 0.0f;
    spring->velocity.x = 100.0f;
    spring->update(0.0, 0.6);  // damping x dt = 1.2: the mass stops instead
    EXPECT_FLOAT_EQ(spring->velocity.x, 0.0f);
    EXPECT_FLOAT_EQ(spring->position.x, 0.0f);
    spring->destroy();
}
