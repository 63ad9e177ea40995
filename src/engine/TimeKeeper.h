#pragma once
// The engine's clock: seconds since start-up from the high-resolution counter, checked
// once against the millisecond clock and corrected when they disagree by more than 2%,
// never running backwards, and without the time spent paused or frozen.
#include <cstdint>

#include "engine/QorBase.h"

class SystemClock;

class TimeKeeper : public QorBase {
public:
    explicit TimeKeeper(const SystemClock& clock);
    TimeKeeper();
    ~TimeKeeper() override;

    static ClassInfo classInfo;
    ClassInfo* getClass() const override;
    // Starts or stops discarding time on the mode steps that pause the game.
    void onQORmodeChange(int oldMode, int newMode) override;

    double getPhysicalTime();                                   // seconds since start-up, monotonic
    double getAbsoluteTime() const;                             // millisecond clock since start-up, in seconds
    double now() { return getPhysicalTime() - discardedTime; }  // game time
    // Sleeps on the clock the time keeper reads, so that a wait measured on it ends on it.
    void sleep(double seconds) const;

    std::int64_t counterStart = 0;      // counter value at start-up, moved by the calibration
    std::int64_t counterFrequency = 0;  // counts per second
    double timerPeriod = 0.0;           // seconds per count
    bool bHasCounter = false;
    int timerGranularity = 1;         // ms
    double discardStart = 0.0;        // s, when the current discarding began
    double discardedTime = 0.0;       // s, total discarded so far
    double lastPhysicalTime = 0.0;    // s, the last getPhysicalTime result
    double absoluteTimeOrigin = 0.0;  // s, millisecond clock at start-up
    bool bCalibrated = false;

private:
    void calibrate(double counterSeconds);
    bool discardsOn(int oldMode, int newMode, bool& starts) const;

    const SystemClock& clock;
};
