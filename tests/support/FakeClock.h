#pragma once
// A clock that tests move by hand.
#include <cstdint>

#include "platform/SystemClock.h"

class FakeClock : public SystemClock {
public:
    std::int64_t counter() const override { return count; }
    std::int64_t counterFrequency() const override { return frequency; }
    std::uint32_t milliseconds() const override { return ms; }

    // Advances both clocks by `seconds`, the counter running `counterRate` times as fast.
    void advance(double seconds, double counterRate = 1.0) {
        count += static_cast<std::int64_t>(seconds * counterRate * static_cast<double>(frequency));
        ms += static_cast<std::uint32_t>(seconds * 1000.0);
    }

    std::int64_t count = 0;
    std::int64_t frequency = 1'000'000;
    std::uint32_t ms = 0;
};
