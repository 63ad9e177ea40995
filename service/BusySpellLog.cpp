#include "BusySpellLog.h"

#include <cinttypes>
#include <cstdio>

BusySpellLog::BusySpellLog(std::function<Clock::time_point()> clock) : clock_(std::move(clock)) {}

BusySpellLog::~BusySpellLog() { end("stopping, the score database"); }

void BusySpellLog::turnedAway(const std::string& reason) {
    std::lock_guard lock(mutex_);
    ++turnedAway_;
    if (busy_) return;
    busy_ = true;
    began_ = clock_ ? clock_() : Clock::now();
    std::fprintf(stderr, "torvane_service: the score database is busy (%s): uploads are turned away until it is free\n",
                 reason.c_str());
}

void BusySpellLog::answered() { end("the score database takes uploads again,"); }

void BusySpellLog::end(const char* what) {
    std::lock_guard lock(mutex_);
    if (!busy_) return;
    const std::chrono::duration<double> lasted = (clock_ ? clock_() : Clock::now()) - began_;
    std::fprintf(stderr, "torvane_service: %s busy for %.1f s; uploads turned away: %" PRIu64 "\n", what,
                 lasted.count(), turnedAway_);
    busy_ = false;
    turnedAway_ = 0;
}
