#pragma once
// The clocks of the machine, behind an interface so that time keeping can be tested
// with a clock that drifts, steps back or wraps, and the frame pacer with one on which
// its waits pass.
#include <cstdint>

class SystemClock {
public:
    virtual ~SystemClock() = default;
    // A high-resolution monotonic counter and its counts per second (0: none).
    virtual std::int64_t counter() const;
    virtual std::int64_t counterFrequency() const;
    // Milliseconds of a monotonic clock as a 32-bit count, which wraps after 49.7 days.
    virtual std::uint32_t milliseconds() const;
    // Sleeps until the counter has moved on by `seconds`.
    virtual void sleep(double seconds) const;

    // The clock everybody uses unless a test says otherwise.
    static const SystemClock& standard();
};

void sleepMilliseconds(std::uint32_t ms);
// Sleeps until the monotonic clock reaches now + seconds (an absolute deadline, so a
// signal that interrupts the sleep does not lengthen it).
void sleepForSeconds(double seconds);
