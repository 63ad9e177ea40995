#pragma once
// How many of something each network may do in an hour (crash reports sent, new
// installations added to the score tables). Used from many threads at once.
//
// A network is an IPv4 address, or the /64 that an IPv6 address belongs to (one
// subscriber's share, whose addresses it may rotate through at will); an IPv4 address
// written as IPv6 counts as itself. Each network keeps two counts, of the current clock
// hour and of the one before, which counts by the share of it still within the last 60
// minutes, rounded up. That assumes the earlier hour's takes were spread evenly: a burst
// at the end of one hour may leave room for nearly as many again within the next. The
// hours are those of a steady clock, so that setting the system clock changes nothing.
//
// The table of networks is bounded. When it is full, a new network takes over the entry
// of the least counted of a few sampled networks, counts and all, or is refused, changing
// nothing, when those counts leave no room (a refusal of its own kind: that network has
// taken nothing). So every take stays counted for its hour however many networks come:
// together they take no more than the table's size times the hourly allowance, a flood
// of networks gains nothing by overflowing the table, and the networks that take the
// most keep their entries. Newcomers are shut out only while every sampled entry is at
// the limit, which takes that whole allowance, and only until those counts age out,
// within two hours.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

class HourlyLimit {
public:
    using Clock = std::chrono::steady_clock;

    // The clock hour a take was counted in, for `giveBack`.
    struct Taken {
        std::int64_t hour = 0;
    };
    // Why a take was refused.
    enum class Refusal {
        spent,    // the network has used its hour's worth
        crowded,  // the network is new, and the full table has no room for it now
    };
    // What a take came to: counted, or refused and why.
    struct Outcome {
        std::optional<Taken> taken;
        Refusal refusal = Refusal::spent;  // when not taken
    };

    // Networks tracked at most: about 16 MiB of memory when all are in use.
    static constexpr std::size_t kNetworks = std::size_t{1} << 18;

    // `clock` is read at every take and give-back; the steady clock when empty.
    explicit HourlyLimit(int perHour, std::function<Clock::time_point()> clock = {}, std::size_t networks = kNetworks);

    int perHour() const { return perHour_; }
    // Counts one for the network of `address` unless it has used its hour's worth
    // already, or is new to a table with no room for it; nothing then.
    Outcome take(const std::string& address);
    // Takes back `taken` of `address`, for something that was not kept. Nothing changes
    // once the take has aged out, or when the network has been forgotten meanwhile.
    void giveBack(const std::string& address, Taken taken);
    // The networks in the table now, idle ones not yet swept out included.
    std::size_t networkCount();

private:
    // An IPv4 address or an IPv6 /64 by `family`; text that is no address by its hash.
    struct Network {
        std::uint64_t bits = 0;
        std::uint8_t family = 0;  // 4, 6, or 0 for text
        bool operator==(const Network&) const = default;
    };
    // Keyed by a secret, so that no one can pick networks that share a bucket.
    struct Hash {
        std::uint64_t key;
        std::size_t operator()(const Network& network) const noexcept;
    };
    struct Counts {
        std::int64_t hour = 0;       // of the clock, the one `current` counts
        std::uint32_t previous = 0;  // takes in the hour before `hour`
        std::uint32_t current = 0;   // takes in `hour`

        // Brings the counts to the hour `to`; a clock that went back leaves them as they are.
        void roll(std::int64_t to);
        // The takes that count `into` milliseconds into `hour`.
        std::uint64_t load(std::int64_t into) const;
        bool idle() const { return previous == 0 && current == 0; }
    };
    using Table = std::unordered_map<Network, Counts, Hash>;
    struct Moment {
        std::int64_t hour;  // of the clock
        std::int64_t into;  // milliseconds into `hour`
    };

    static Network networkOf(const std::string& address);
    Moment now() const;
    Table::iterator enter(const Network& network, Moment now);
    Table::iterator lightest(Moment now);
    void sweep(Moment now);

    const int perHour_;
    const std::function<Clock::time_point()> clock_;
    const std::size_t capacity_;
    std::mutex mutex_;        // guards the members below
    Table table_;             // the counts of the networks seen lately
    std::uint64_t draw_;      // picks where to sample the table
    std::size_t untilSweep_;  // networks still to be entered before the next sweep
};
