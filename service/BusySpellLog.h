#pragma once
// The log of the spells in which the score database is busy (another process holds its
// lock: a backup, say) and uploads are turned away for it: one line when the first of a
// spell is turned away, and one when the database takes an upload again, or when the log
// goes with the service at its stop, saying how long the spell lasted and how many were
// turned away. A line for each would fill the log during a long backup. The lines go to
// standard error, for whoever runs the service. Used from many workers at once.
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

class BusySpellLog {
public:
    using Clock = std::chrono::steady_clock;

    // `clock` is read as a spell starts and ends; the steady clock when empty.
    explicit BusySpellLog(std::function<Clock::time_point()> clock = {});
    // Ends a spell still going on.
    ~BusySpellLog();
    BusySpellLog(const BusySpellLog&) = delete;
    BusySpellLog& operator=(const BusySpellLog&) = delete;

    // An upload was turned away as busy; `reason` is the store's.
    void turnedAway(const std::string& reason);
    // The database answered an upload otherwise than busy: a spell going on ends.
    void answered();

private:
    // Writes the end of the spell going on, if any, after `what` ("stopping, the score
    // database", say).
    void end(const char* what);

    const std::function<Clock::time_point()> clock_;
    std::mutex mutex_;              // guards the members below, and keeps the lines in order
    bool busy_ = false;             // a spell is going on
    Clock::time_point began_;       // of the spell: when its first upload was turned away
    std::uint64_t turnedAway_ = 0;  // in the spell
};
