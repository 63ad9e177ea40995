#include "engine/QorTimer.h"

#include "engine/Qor.h"
#include "engine/TimeKeeper.h"
#include "platform/SystemClock.h"

namespace {
double gameTime() { return qor->timeKeeper().now(); }
}  // namespace

void QorTimer::start(double newPeriod) {
    frameStart = previousFrameStart = gameTime();
    period = newPeriod;
}

void QorTimer::wait() {
    const double remaining = (frameStart + period) - gameTime();
    // Sleeping to an absolute deadline keeps the pace exact without a timer thread.
    if (remaining > 0.0) sleepForSeconds(remaining);
    const double t = gameTime();
    accuracy = t - (frameStart + period);
    previousFrameStart = frameStart;
    frameStart = t;
}
