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
    lastFrameOverran = false;
}

// Sleeps to the deadline one period after the booked frame start, then books the next
// start: the deadline while the frames keep their pace, the wake otherwise. A sleep's
// overshoot, or a frame that overran its deadline (no time was left to sleep), leaves the
// next frame starting late on the deadline booked for it, and that frame's shorter wait
// makes up the time. The pace is lost when a frame wakes a whole period or more past its
// deadline, or overruns right after a frame that overran (the machine cannot keep up):
// the next frame then starts afresh. A period that is no number keeps no pace either: the
// comparisons fail and every frame starts when it wakes.
void QorTimer::wait() {
    const double deadline = frameStart + period;
    const double remaining = deadline - gameTime();
    const bool cut = remaining > kLongestWait;
    if (cut)
        QOR_LOG("QorTimer::wait", u"Warning: a frame period of %.3lf s is cut to a wait of %.3lf s.", period,
                kLongestWait);
    const bool overran = !(remaining > 0.0);
    // Sleeping to an absolute deadline keeps the pace exact without a timer thread.
    if (!overran) qor->timeKeeper().sleep(std::min(remaining, kLongestWait));
    const double woke = gameTime();
    accuracy = woke - deadline;
    const bool keptPace = !cut && accuracy < period && !(overran && lastFrameOverran);
    lastFrameOverran = overran;
    previousFrameStart = frameStart;
    frameStart = keptPace ? deadline : woke;
}
