#pragma once
// A clock that tests move by hand.
#include <cmath>
#include <cstdint>
#include <functional>

#include "engine/Qor.h"
#include "engine/TimeKeeper.h"
#include "platform/SystemClock.h"

class FakeClock : public SystemClock {
public:
    std::int64_t counter() const override {
        count += static_cast<std::int64_t>(readCost * static_cast<double>(frequency));
        return count;
    }
    std::int64_t counterFrequency() const override { return frequency; }
    std::uint32_t milliseconds() const override { return ms; }
    // Time slept on the clock passes on it where the test says so (a test of the frame
    // pacer), rounded up to whole counts: a sleep ends no earlier than asked, and later by
    // what `oversleep` gives, where set. Otherwise the clock stands still and the sleep
    // returns at once.
    void sleep(double seconds) const override {
        if (!sleepsPass || !(seconds > 0.0)) return;
        if (oversleep) seconds += oversleep();
        count += static_cast<std::int64_t>(std::ceil(seconds * static_cast<double>(frequency)));
        ms += static_cast<std::uint32_t>(std::ceil(seconds * 1000.0));
    }

    // Advances both clocks by `seconds`, the counter running `counterRate` times as fast.
    void advance(double seconds, double counterRate = 1.0) {
        count += static_cast<std::int64_t>(seconds * counterRate * static_cast<double>(frequency));
        ms += static_cast<std::uint32_t>(seconds * 1000.0);
    }

    // From here on the engine reads its time on this clock, which must outlive the engine.
    // Its physical time goes on from where it stood, and its game time with it.
    void takeOverEngineTime() {
        TimeKeeper& old = qor->timeKeeper();
        auto* keeper = new TimeKeeper(*this);
        keeper->counterStart = count - static_cast<std::int64_t>(std::ceil(old.getPhysicalTime() * frequency));
        keeper->discardedTime = old.discardedTime;
        keeper->bCalibrated = true;  // the test sets the fake's two clocks: nothing to correct
        old.destroy();
        qor->pTimeKeeper = keeper;
    }

    // Mutable: a reading or a sleep moves the clock, and the time keeper holds its clock as const.
    mutable std::int64_t count = 0;
    std::int64_t frequency = 1'000'000;
    mutable std::uint32_t ms = 0;
    bool sleepsPass = false;
    // How long each sleep runs past its end (s), as a loaded machine's sleeps do; none when empty.
    std::function<double()> oversleep;
    // Each reading of the counter finds it this much later (s), as if the work between two
    // readings took that long; none when 0.
    double readCost = 0.0;
};
