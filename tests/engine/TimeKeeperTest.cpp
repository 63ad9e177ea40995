#include <gtest/gtest.h>

#include "engine/TimeKeeper.h"
#include "support/FakeClock.h"
#include "support/HeadlessEngine.h"

namespace {
class TimeKeeperTest : public HeadlessEngine {
protected:
    FakeClock clock;
};
}  // namespace

TEST_F(TimeKeeperTest, ACounterRunningThreePercentFastIsCorrectedWithoutAJump) {
    TimeKeeper keeper(clock);
    clock.advance(6.0, 1.03);
    const double atCalibration = keeper.getPhysicalTime();
    EXPECT_NEAR(atCalibration, 6.18, 1e-6);
    EXPECT_TRUE(keeper.bCalibrated);
    // From now on the clock advances at the millisecond clock's rate.
    clock.advance(10.0, 1.03);
    EXPECT_NEAR(keeper.getPhysicalTime() - atCalibration, 10.0, 1e-3);
}

TEST_F(TimeKeeperTest, ADriftOfExactlyTwoPercentIsNotCorrected) {
    TimeKeeper keeper(clock);
    // Whole numbers keep the arithmetic exact: 51 counted seconds against 50 real ones.
    clock.count = 51 * clock.frequency;
    clock.ms += 50000;
    EXPECT_EQ(keeper.getPhysicalTime(), 51.0);
    EXPECT_TRUE(keeper.bCalibrated);
    clock.count += 51 * clock.frequency;
    EXPECT_EQ(keeper.getPhysicalTime(), 102.0);
}

TEST_F(TimeKeeperTest, TheClockNeverRunsBackwards) {
    TimeKeeper keeper(clock);
    clock.advance(1.0);
    const double t = keeper.getPhysicalTime();
    clock.count -= clock.frequency / 2;
    EXPECT_EQ(keeper.getPhysicalTime(), t);
}

TEST_F(TimeKeeperTest, WithoutACounterTheMillisecondClockCountsFromStartUp) {
    clock.frequency = 0;
    clock.ms = 123456789;
    TimeKeeper keeper(clock);
    clock.ms += 250;
    EXPECT_NEAR(keeper.getPhysicalTime(), 0.25, 1e-9);
}

TEST_F(TimeKeeperTest, PausedTimeIsDiscardedUnlessTickingWhilePaused) {
    TimeKeeper keeper(clock);
    clock.advance(1.0);
    keeper.onQORmodeChange(3, 2);
    clock.advance(10.0);
    keeper.onQORmodeChange(2, 3);
    EXPECT_NEAR(keeper.now(), 1.0, 1e-6);

    engine->bTickWhilePaused = true;
    keeper.onQORmodeChange(3, 2);  // paused time counts now
    clock.advance(2.0);
    keeper.onQORmodeChange(2, 1);  // frozen time does not
    clock.advance(5.0);
    keeper.onQORmodeChange(1, 2);
    keeper.onQORmodeChange(2, 3);
    EXPECT_NEAR(keeper.now(), 3.0, 1e-6);
}
