#include "engine/TimeKeeper.h"

#include <algorithm>
#include <cmath>

#include "engine/ClassInfo.h"
#include "engine/Logger.h"
#include "engine/Qor.h"
#include "platform/SystemClock.h"

// Registered as a root: class tests on the time keeper stop at its own record.
QOR_DEFINE_ROOT_CLASS(TimeKeeper, nullptr)

namespace {
// The counter is trusted as long as it agrees with the millisecond clock this well.
constexpr double kMaxDrift = 0.02;
// The calibration compares the clocks once, after this many seconds.
constexpr double kCalibrationDelay = 5.0;
}  // namespace

TimeKeeper::TimeKeeper() : TimeKeeper(SystemClock::standard()) {}

TimeKeeper::TimeKeeper(const SystemClock& clock_) : clock(clock_) {
    QOR_LOG("TimeKeeper::TimeKeeper", u"Starting...");
    // Sleeping to absolute deadlines needs no timer resolution request; the numbers are
    // logged as the engine always has.
    QOR_LOG("TimeKeeper::TimeKeeper", u"Multimedia timer granularity: wPeriodMin=%d", 1);
    QOR_LOG("TimeKeeper::TimeKeeper", u"Multimedia timer granularity: wPeriodMax=%d", 1000000);
    QOR_LOG("TimeKeeper::TimeKeeper", u"Using a timer granularity of %d ms.", timerGranularity);
    counterFrequency = clock.counterFrequency();
    if (counterFrequency == 0) {
        QOR_LOG("TimeKeeper::TimeKeeper", u"QueryPerformanceFrequency failed (no high-performance counter available).");
    } else {
        QOR_LOG("TimeKeeper::TimeKeeper", u"Created high performance counter, %I64d Hz.", counterFrequency);
        timerPeriod = 1.0 / static_cast<double>(counterFrequency);
        bHasCounter = true;
        counterStart = clock.counter();
    }
    absoluteTimeOrigin = clock.milliseconds() / 1000.0;
    sleepMilliseconds(1);
    const double target = getPhysicalTime() - discardedTime + 0.001;
    sleepMilliseconds(1);
    const double t1 = getPhysicalTime() - discardedTime;
    QOR_LOG("TimeKeeper::TimeKeeper", u"sleep() accuracy: %.3lf ms.", (t1 - target) * 1000.0);
    QOR_LOG("TimeKeeper::TimeKeeper", u"absoluteTimeOrigin: %.6lf.", absoluteTimeOrigin);
    QOR_LOG("TimeKeeper::TimeKeeper", u"Started.");
}

TimeKeeper::~TimeKeeper() = default;

ClassInfo* TimeKeeper::getClass() const { return &classInfo; }

double TimeKeeper::getAbsoluteTime() const {
    // Unsigned subtraction keeps the reading right across the 32-bit clock's wrap.
    const auto originMs = static_cast<std::uint32_t>(std::llround(absoluteTimeOrigin * 1000.0));
    return static_cast<std::uint32_t>(clock.milliseconds() - originMs) / 1000.0;
}

double TimeKeeper::getPhysicalTime() {
    double result;
    if (!bHasCounter) {
        result = getAbsoluteTime();
    } else {
        result = static_cast<double>(clock.counter() - counterStart) * timerPeriod;
        if (result > kCalibrationDelay && !bCalibrated) calibrate(result);
    }
    result = std::max(result, lastPhysicalTime);
    lastPhysicalTime = result;
    return result;
}

void TimeKeeper::sleep(double seconds) const { clock.sleep(seconds); }

void TimeKeeper::calibrate(double q) {
    QOR_LOG("TimeKeeper::getPhysicalTime", u"Calibrating timerPeriod...");
    const double m = getAbsoluteTime();
    QOR_LOG("TimeKeeper::getPhysicalTime", u"getAbsoluteTime() delta: %.9lf", m);
    QOR_LOG("TimeKeeper::getPhysicalTime", u"QueryPerformanceCounter() delta: %.9lf", q);
    const double drift = m > 0.0 ? (q - m) / m : 0.0;
    QOR_LOG("TimeKeeper::getPhysicalTime", u"QueryPerformanceCounter() drift: %.9lf%%", drift * 100.0);
    if (std::fabs(drift) > kMaxDrift) {
        QOR_LOG("TimeKeeper::getPhysicalTime", u"WARNING: Skew is too great. Calibrating...");
        const auto driftCounts = static_cast<std::int64_t>(static_cast<double>(counterFrequency) * q * drift);
        QOR_LOG("TimeKeeper::getPhysicalTime", u"HPCdrift: %I64d", driftCounts);
        const double scale = m / q;
        QOR_LOG("TimeKeeper::getPhysicalTime", u"Period scaling factor: %.6lf", scale);
        // Shifting the start keeps this instant's reading where it was; the new period
        // makes the clock advance at the millisecond clock's rate from here on.
        timerPeriod *= scale;
        counterStart -= driftCounts;
        QOR_LOG("TimeKeeper::getPhysicalTime", u"QueryPerformanceCounter() delta (after adjustment): %.9lf",
                static_cast<double>(clock.counter() - counterStart) * timerPeriod);
    }
    bCalibrated = true;
}

bool TimeKeeper::discardsOn(int oldMode, int newMode, bool& starts) const {
    // With ticking while paused, only frozen time is discarded; otherwise paused time too.
    const int running = qor->bTickWhilePaused ? 2 : 3;
    const int stopped = running - 1;
    if (oldMode == running && newMode == stopped) return starts = true, true;
    if (oldMode == stopped && newMode == running) return starts = false, true;
    return false;
}

void TimeKeeper::onQORmodeChange(int oldMode, int newMode) {
    bool starts = false;
    if (!discardsOn(oldMode, newMode, starts)) return;
    if (starts) {
        discardStart = getPhysicalTime();
        QOR_LOG("TimeKeeper::onQORmodeChange", u"Starting to discard time at %.3lf.", discardStart);
    } else {
        discardedTime += getPhysicalTime() - discardStart;
        QOR_LOG("TimeKeeper::onQORmodeChange", u"Discarded time is now %.3lf.", discardedTime);
    }
}
