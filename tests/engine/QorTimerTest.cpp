#include <gtest/gtest.h>

#include <cmath>
#include <vector>

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
    double now() const { return engine->timeKeeper().now(); }

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

TEST_F(QorTimerTest, AFrameThatOverrunsOnceIsCaughtUpByTheNext) {
    constexpr double kPeriod = 0.01;
    timer.start(kPeriod);
    clock.advance(0.002);
    timer.wait();
    const double grid = timer.frameStart;
    clock.advance(0.015);  // half a period too long
    timer.wait();
    EXPECT_EQ(timer.frameStart, grid + kPeriod) << "the next frame starts on its deadline, late";
    clock.advance(0.002);
    timer.wait();
    EXPECT_NEAR(now(), grid + 2.0 * kPeriod, 1e-6) << "its shorter wait makes up the time";
    EXPECT_EQ(timer.frameStart, grid + 2.0 * kPeriod);
}

TEST_F(QorTimerTest, AFrameThatDoesNotKeepItsPaceStartsAfreshAndTheNextGetsAWholePeriod) {
    constexpr double kPeriod = 0.01;
    struct Case {
        const char* what;
        std::vector<double> works;  // s, of the late frames in turn
        double oversleep;           // s, past the end of each late frame's sleep
    };
    const Case cases[] = {{"two frames in a row of 1.2 periods (a machine too slow for the cap)", {0.012, 0.012}, 0.0},
                          {"a sleep that ends three periods late (the machine stalled)", {0.002}, 0.03},
                          {"five seconds in one frame (a long load, a breakpoint)", {5.0}, 0.0}};
    for (const Case& c : cases) {
        timer.start(kPeriod);
        clock.advance(0.002);
        timer.wait();  // a frame on its pace first
        double began = 0.0;
        clock.oversleep = [&] { return c.oversleep; };
        for (const double work : c.works) {
            began = timer.frameStart;
            clock.advance(work);
            timer.wait();
        }
        clock.oversleep = nullptr;
        const double woke = now();
        // The game steps by the time the last late frame really took: no more, no less.
        EXPECT_EQ(timer.frameStart, woke) << c.what;
        EXPECT_EQ(timer.previousFrameStart, began) << c.what;
        clock.advance(0.002);
        timer.wait();
        EXPECT_NEAR(now() - woke, kPeriod, 1e-6) << c.what << ": nothing of the late frame is caught up";
    }
}

TEST_F(QorTimerTest, APeriodThatIsNoNumberStartsEachFrameWhenItWakes) {
    timer.start(std::nan(""));  // the console's "fps nan"
    for (int frame = 0; frame < 2; ++frame) {
        clock.advance(0.002);
        timer.wait();
        EXPECT_EQ(timer.frameStart, now()) << frame;
    }
}
