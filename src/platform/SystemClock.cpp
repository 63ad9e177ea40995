#include "platform/SystemClock.h"

#include <cerrno>
#include <cmath>
#include <ctime>

namespace {
std::int64_t monotonicNanoseconds() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}
}  // namespace

std::int64_t SystemClock::counter() const { return monotonicNanoseconds(); }
std::int64_t SystemClock::counterFrequency() const { return 1'000'000'000; }
std::uint32_t SystemClock::milliseconds() const {
    return static_cast<std::uint32_t>(monotonicNanoseconds() / 1'000'000);
}

void SystemClock::sleep(double seconds) const { sleepForSeconds(seconds); }

const SystemClock& SystemClock::standard() {
    static const SystemClock clock;
    return clock;
}

void sleepMilliseconds(std::uint32_t ms) { sleepForSeconds(ms / 1000.0); }

void sleepForSeconds(double seconds) {
    if (!(seconds > 0.0)) return;
    timespec deadline{};
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    // Rounded up: a sleep cut short by a fraction of a nanosecond would end a paced frame early.
    const auto ns = static_cast<std::int64_t>(std::ceil(seconds * 1e9));
    deadline.tv_sec += static_cast<time_t>(ns / 1'000'000'000);
    deadline.tv_nsec += static_cast<long>(ns % 1'000'000'000);
    if (deadline.tv_nsec >= 1'000'000'000) {
        deadline.tv_sec += 1;
        deadline.tv_nsec -= 1'000'000'000;
    }
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
    }
}
