#include "BusySpellLog.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

BusySpellLog::BusySpellLog(std::function<Clock::time_point()> clock) : clock_(std::move(clock)) {}

BusySpellLog::~BusySpellLog() {
    end("stopping, the score database", stoppedAt_.value_or(now()));
    if (turnedAwayForStop_ > 0)
        std::fprintf(stderr,
                     "torvane_service: stopping: uploads waiting for the score database told to come back: %" PRIu64
                     "\n",
                     turnedAwayForStop_);
}

void BusySpellLog::begin(const std::string& reason) {
    std::fprintf(stderr, "torvane_service: the score database is busy (%s): uploads are turned away until it is free\n",
                 reason.c_str());
}

void BusySpellLog::turnedAway(const std::string& reason, Clock::time_point began, Clock::time_point at) {
    std::lock_guard lock(mutex_);
    // Turned away before a commit already told of: the spell it belongs to has ended. One
    // that ended at that commit has had its lines, and a spell going on began after it;
    // otherwise this one was the whole spell.
    if (at < lastCommit_) {
        if (busy_ || commitEndedSpell_) return;
        begin(reason);
        busy_ = true;
        began_ = began;
        turnedAway_ = 1;
        end("the score database takes uploads again,", lastCommit_);
        commitEndedSpell_ = true;
        return;
    }
    // The database took an upload at the last commit: no spell began before it.
    const Clock::time_point from = std::max(began, lastCommit_);
    if (busy_) {
        ++turnedAway_;
        began_ = std::min(began_, from);
        return;
    }
    busy_ = true;
    began_ = from;
    turnedAway_ = 1;
    begin(reason);
}

void BusySpellLog::committed(Clock::time_point at) {
    std::lock_guard lock(mutex_);
    if (at < lastCommit_) return;
    lastCommit_ = at;
    commitEndedSpell_ = busy_;
    end("the score database takes uploads again,", at);
}

void BusySpellLog::stopping(Clock::time_point at) {
    std::lock_guard lock(mutex_);
    if (!stoppedAt_) stoppedAt_ = at;
}

void BusySpellLog::turnedAwayForTheStop() {
    std::lock_guard lock(mutex_);
    ++turnedAwayForStop_;
}

// With the mutex held, but for the end of the log.
void BusySpellLog::end(const char* what, Clock::time_point at) {
    if (!busy_) return;
    const std::chrono::duration<double> lasted = at - began_;
    std::fprintf(stderr, "torvane_service: %s busy for %.1f s; uploads turned away: %" PRIu64 "\n", what,
                 std::max(lasted.count(), 0.0), turnedAway_);
    busy_ = false;
    turnedAway_ = 0;
}
