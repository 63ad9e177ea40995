#pragma once
// How many of something each network may do in an hour (crash reports sent, new
// installations added to the score tables). Used from many threads at once.
//
// A network is an IPv4 address, or the /64 that an IPv6 address belongs to (see
// `AddressNetwork`). Each network keeps two counts, of the current clock
// hour and of the one before, which counts by the share of it still within the last 60
// minutes, rounded up. That assumes the earlier hour's takes were spread evenly: a burst
// at the end of one hour may leave room for nearly as many again within the next. The
// hours are those of a steady clock, so that setting the system clock changes nothing.
// Threads read the clock before they take the table's lock and may reach it out of order,
// so the limit's time is the latest reading to have reached it: a take that read the clock
// just before an hour's turn that another thread has counted since is weighed and counted
// in the new hour.
//
// The table of networks is bounded. When it is full, a new network takes over the entry
// of the least counted of a few sampled networks (of those alike, the one seen longest
// ago), counts and all, or is refused, changing nothing, when those counts leave no room.
// The counts it takes over stay in the entry as others' takes beside its own: so every
// take stays counted for its hour however many networks come, together they take no
// more than the table's size times the hourly allowance, a flood of networks gains
// nothing by overflowing the table, and the networks that take the most keep their
// entries. A network refused by counts not its own is told that it is crowded out, not
// that it has used its hour's worth. Newcomers are shut out only while every sampled
// entry is at the limit, which takes that whole allowance, and only until those counts
// age out, within two hours.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

#include "AddressNetwork.h"

class HourlyLimit {
public:
    using Clock = std::chrono::steady_clock;

    // The clock hour whose count a take went into (counted from the limit's first), for
    // `giveBack`.
    struct Taken {
        std::int64_t hour = 0;
    };
    // Why a take was refused.
    enum class Refusal {
        spent,    // the network has used its hour's worth
        crowded,  // the full table has no room for the network now: it is new and no entry
                  // can be handed over to it, or its entry's counts of others leave none
    };
    // What a take came to: counted, or refused and why.
    struct Outcome {
        std::optional<Taken> taken;
        Refusal refusal = Refusal::spent;  // when not taken
    };

    // Networks tracked at most: about 16 MiB of memory when all are in use (each entry
    // takes 48 bytes of the heap and a bucket of 8).
    static constexpr std::size_t kNetworks = std::size_t{1} << 18;

    // `clock` is read at every take and give-back; the steady clock when empty.
    explicit HourlyLimit(int perHour, std::function<Clock::time_point()> clock = {}, std::size_t networks = kNetworks);

    int perHour() const { return perHour_; }
    // Counts one for the network of `address` unless its entry is at the limit (by its
    // own takes, or by those it took over), or it is new to a table with no room for it;
    // nothing then.
    Outcome take(const std::string& address);
    // Takes back `taken` of `address`, for something that was not kept. Nothing changes
    // once the take has aged out, or when the network has been forgotten meanwhile.
    void giveBack(const std::string& address, Taken taken);
    // The networks in the table now, idle ones not yet swept out included.
    std::size_t networkCount();

private:
    // Keyed by a secret, so that no one can pick networks that share a bucket.
    struct Hash {
        std::uint64_t key;
        std::size_t operator()(const AddressNetwork& network) const noexcept;
    };
    // The hours of the limit's clock, counted from the one it was made in, and how far
    // into one an instant is.
    struct Moment {
        std::int32_t hour;
        std::int32_t minute;  // since the start of hour 0
        std::int64_t into;    // milliseconds into `hour`
    };
    // Takes in two consecutive clock hours.
    struct Tally {
        std::uint32_t previous = 0;  // in the hour before
        std::uint32_t current = 0;

        // The tally `hours` later: what was current is the previous hour's after one.
        Tally after(std::int32_t hours) const;
        // The takes that count `into` milliseconds into the current hour.
        std::uint64_t load(std::int64_t into) const;
        bool idle() const { return previous == 0 && current == 0; }
    };
    struct Counts {
        std::int32_t minute = 0;  // when the network was last seen (see Moment); `all` and
                                  // `own` count in its hour
        Tally all;                // every take the entry holds, of the networks that held it before too
        Tally own;                // the takes of the network that holds it now

        // The counts as they stand at `now`, with `minute` as it is; a `now` before `minute`
        // leaves them as they are.
        Counts at(Moment now) const;
        // Brings the counts to `now`, when the network is seen.
        void see(Moment now);
        std::int32_t hour() const { return minute / 60; }
    };
    using Table = std::unordered_map<AddressNetwork, Counts, Hash>;

    std::int64_t milliseconds() const;  // of the clock
    Moment momentOf(std::int64_t ms) const;
    // The limit's time, with `read` (milliseconds of the clock) reaching it; under the lock.
    Moment now(std::int64_t read);
    Table::iterator enter(const AddressNetwork& network, Moment now);
    Table::iterator toHandOver(Moment now);
    void sweep(Moment now);

    const int perHour_;
    const std::function<Clock::time_point()> clock_;
    const std::size_t capacity_;
    const std::int64_t firstHour_;  // of the clock, the limit's hour 0
    std::mutex mutex_;              // guards the members below
    Table table_;                   // the counts of the networks seen lately
    std::int64_t latest_;           // the latest reading of the clock to reach the table, in ms
    std::uint64_t draw_;            // picks where to sample the table
    std::size_t untilSweep_;        // networks still to be entered before the next sweep
};
