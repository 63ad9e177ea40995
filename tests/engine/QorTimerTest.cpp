#include <gtest/gtest.h>

#include "engine/QorTimer.h"
#include "engine/TimeKeeper.h"
#include "support/FakeClock.h"
#include "support/HeadlessEngine.h"

namespace {
// A pacer on a clock that moves only by the test's hand and the pacer's own waits.
class QorTimerTest : public HeadlessEngine {
protected:
    void SetUp() override {
        HeadlessEngine::SetUp();
        clock.sleepsPass = true;
        engine->pTimeKeeper = new TimeKeeper(clock);
    }
    void TearDown() override {
        delete engine->pTimeKeeper;
        engine->pTimeKeeper = nullptr;
        HeadlessEngine::TearDown();
    }
    FakeClock clock;
    QorTimer timer;
};
}  // namespace

TEST_F(QorTimerTest, APeriodMeantAsARateWaitsASecondAFrameAtMost) {
    timer.start(60.0);  // the console's "fps 60", meant as sixty frames a second
    for (int frame = 0; frame < 2; ++frame) {
        clock.advance(0.002);
        timer.wait();
        EXPECT_NEAR(timer.frameStart - timer.previousFrameStart, 1.002, 1e-6) << frame;
    }
}
