#include "engine/QorTimer.h"

#include <algorithm>

#include "engine/Logger.h"
#include "engine/Qor.h"
#include "engine/TimeKeeper.h"

namespace {
// The longest a frame waits: a period given in error (the console's "fps 60", meant as
// a rate) leaves the program slow but still answering.
constexpr double kLongestWait = 1.0;  // s

double gameTime() { return qor->timeKeeper().now(); }
}  // namespace

void QorTimer::start(double newPeriod) {
    frameStart = previousFrameStart = gameTime();
    period = newPeriod;
}

void QorTimer::wait() {
    const double remaining = (frameStart + period) - gameTime();
    if (remaining > kLongestWait)
        QOR_LOG("QorTimer::wait", u"Warning: a frame period of %.3lf s is cut to a wait of %.3lf s.", period,
                kLongestWait);
    // Sleeping to an absolute deadline keeps the pace exact without a timer thread.
    if (remaining > 0.0) qor->timeKeeper().sleep(std::min(remaining, kLongestWait));
    const double t = gameTime();
    accuracy = t - (frameStart + period);
    previousFrameStart = frameStart;
    frameStart = t;
}
