#pragma once
// The log of the spells in which the score database is busy (another process holds its
// lock: a backup, say) and uploads are turned away for it: one line when the first of a
// spell is turned away, and one when the spell ends, saying how long it lasted and how
// many were turned away. A line for each would fill the log during a long backup. A
// spell runs from when its first turned-away upload began to wait for the database (or
// the last commit, when that came later) to the first commit after that (or the
// service's stop). Uploads turned away because the service is stopping are told apart,
// in one line as the log goes with the service. The lines go to standard error, for
// whoever runs the service. Used from many workers at once, whose news may come in
// another order than its times: each call says when.
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

class BusySpellLog {
public:
    using Clock = std::chrono::steady_clock;

    // `clock` is what `now` reads; the steady clock when empty.
    explicit BusySpellLog(std::function<Clock::time_point()> clock = {});
    // Ends a spell still going on at the stop (or now, without one), and tells of the
    // uploads turned away for the stop.
    ~BusySpellLog();
    BusySpellLog(const BusySpellLog&) = delete;
    BusySpellLog& operator=(const BusySpellLog&) = delete;

    Clock::time_point now() const { return clock_ ? clock_() : Clock::now(); }

    // An upload that began to wait for the database at `began` was turned away at `at`
    // because the database was busy; `reason` is the store's. One turned away before a
    // commit already told of belongs to a spell that has ended by then: it is not counted
    // once that spell's lines have gone out, neither there nor in a spell going on now.
    void turnedAway(const std::string& reason, Clock::time_point began, Clock::time_point at);
    // An upload was committed by `at`: a spell going on ends then.
    void committed(Clock::time_point at);
    // The service began to stop at `at`: a spell still going on ends then.
    void stopping(Clock::time_point at);
    // An upload waiting for the database was turned away because the service stops.
    void turnedAwayForTheStop();

private:
    // Writes the end of the spell going on at `at`, after `what` ("stopping, the score
    // database", say).
    void end(const char* what, Clock::time_point at);
    static void begin(const std::string& reason);

    const std::function<Clock::time_point()> clock_;
    std::mutex mutex_;                // guards the members below, and keeps the lines in order
    bool busy_ = false;               // a spell is going on
    Clock::time_point began_;         // of the spell
    std::uint64_t turnedAway_ = 0;    // in the spell
    Clock::time_point lastCommit_{};  // the latest commit told of
    bool commitEndedSpell_ = false;   // a spell ended at lastCommit_
    std::optional<Clock::time_point> stoppedAt_;
    std::uint64_t turnedAwayForStop_ = 0;
};
