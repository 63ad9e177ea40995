#pragma once
// How many of something each address may do in an hour (crash reports sent, new
// installations added to the score tables): a sliding hour of times per address. An
// address whose times have all passed the hour is forgotten, so that many addresses
// that come once hold no memory for long. Used from many threads at once.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>

class HourlyLimit {
public:
    explicit HourlyLimit(int perHour) : perHour_(perHour) {}

    int perHour() const { return perHour_; }
    // Counts one for `address` at `now` (seconds) unless it has used its hour's worth
    // already; false then.
    bool take(const std::string& address, std::int64_t now);
    // Takes back one `take` of `address` at `time`, for something that was not kept.
    void giveBack(const std::string& address, std::int64_t time);
    // The addresses remembered now.
    std::size_t addressCount();

private:
    void forgetOld(std::int64_t now);

    const int perHour_;
    std::mutex mutex_;                                        // guards the members below
    std::map<std::string, std::deque<std::int64_t>> recent_;  // times by address, oldest first
    std::size_t sweepAt_ = 1024;  // addresses remembered at which forgotten ones are swept out
};
