#include <gtest/gtest.h>

#include "engine/StateBase.h"

namespace {
struct CountingState : StateBase {
    void onStateChanged() override { ++changes; }
    int changes = 0;
};
}  // namespace

TEST(StateBase, ADelayedChangeAppliesWhenItsTimeRunsOutWithoutCarryingTheOvershoot) {
    CountingState s;
    s.setState(5, 1.0);
    s.tickState(0.0, 0.4);
    s.tickState(0.0, 0.4);
    EXPECT_EQ(s.state, 0);
    s.tickState(0.0, 0.4);
    EXPECT_EQ(s.state, 5);
    EXPECT_EQ(s.timeInState, 0.0);
    EXPECT_NEAR(s.stateLeft, -0.2, 1e-9);
    EXPECT_EQ(s.changes, 1);
    // Later ticks count time in state and change nothing more.
    s.tickState(0.0, 0.5);
    EXPECT_DOUBLE_EQ(s.timeInState, 0.5);
    EXPECT_EQ(s.changes, 1);
}

TEST(StateBase, AskingAgainForTheStateLastAskedForIsIgnored) {
    CountingState s;
    s.setState(0, 0.0);  // a fresh object already asked for 0
    EXPECT_EQ(s.changes, 0);
    s.setState(3, 0.0);
    s.tickState(0.0, 2.0);
    s.setState(3, 0.0);
    EXPECT_EQ(s.changes, 1);
    EXPECT_DOUBLE_EQ(s.timeInState, 2.0);
}

TEST(StateBase, ANewRequestReplacesThePendingOneAndRestartsTheDelay) {
    CountingState s;
    s.setState(1, 1.0);
    s.tickState(0.0, 0.9);
    s.setState(2, 1.0);
    s.tickState(0.0, 0.9);
    EXPECT_EQ(s.state, 0);
    s.tickState(0.0, 0.2);
    EXPECT_EQ(s.state, 2);
    EXPECT_EQ(s.changes, 1);
}
