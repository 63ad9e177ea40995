#pragma once
// When a request body that comes too slowly is cut off, and how far behind it is.
//
// A body has a time to arrive whole in from its start (its head's arrival): `time`, and a
// second for every `bytesPerSecond` bytes of its length. The pace it is asked to keep is
// its length over that time. Its lost time is how far it is behind that pace: the time
// since its start less the time its bytes have paid for at the pace. A body is cut off
// once any of these holds:
// - it has been silent for `silence`;
// - its lost time passes its allowance: `grace`, and one second more for every
//   `bytesPerSecond` received. A stall of a few seconds or a slow start is thus forgiven,
//   and a body that has fallen behind may catch up by coming faster, while a trickle
//   falls further behind every second and is cut off soon after the grace;
// - from `grace` after its start on, its bytes have come at under `leastRate` on
//   average since its start while it is off its pace: a trickle is cut off as the grace
//   ends, while a small body whose pace is under the least rate is held as long as it
//   keeps that pace.
// A body keeps its pace while its lost time stays under a third of its allowance (so
// under 3.3 s at least, with a grace of 10 s) and it is never silent for `silence`; from
// then on it is off its pace. Whatever its size, a body that keeps its pace is never cut
// off before its deadline, at which its owner ends it: it stays within its allowance and
// is spared the least rate; nor does it give way to others when connections run short
// (`ConnectionSlots`). One that comes steadily slower than its pace cannot arrive by its deadline;
// how much slower it may come and still be held until then depends on its size (the
// README's table of paces, which BodyPaceTest computes from the server's rules).
#include <chrono>
#include <cstdint>

class BodyPace {
public:
    using Clock = std::chrono::steady_clock;

    // The figures of the rules above. Their defaults are the service's (the server takes
    // them as they are), so that what the README tells of them is computed from these.
    struct Rules {
        std::chrono::milliseconds time{30000};     // any body's, before the time its length adds
        std::uint64_t bytesPerSecond = 32 * 1024;  // each adds a second to a body's time, and each
                                                   // received a second to its allowance; 0: none
        std::chrono::milliseconds silence{10000};  // the longest a body may go without a byte
        std::chrono::milliseconds grace{10000};    // lost time allowed whatever has come
        std::uint64_t leastRate = 500;             // bytes per second on average, from `grace` on; 0: none

        // The time a body of `length` bytes has to arrive whole from its start.
        Clock::duration timeFor(std::uint64_t length) const;
    };

    BodyPace() = default;
    // A body of `length` bytes, none of them come yet, started at `start` and due whole
    // by its deadline under `rules`.
    BodyPace(const Rules& rules, Clock::time_point start, std::uint64_t length);

    // When the body is due whole: its start and the time its rules give its length.
    Clock::time_point deadline() const { return deadline_; }
    // `received` bytes in all (at most the length) have come by `now`.
    void arrived(std::uint64_t received, Clock::time_point now);
    // When the body is cut off unless more of it comes.
    Clock::time_point lapse() const;
    // When the body's lost time passes its allowance unless more of it comes: the earlier,
    // the further behind its pace it is.
    Clock::time_point allowanceEnd() const;
    // When the body goes off its pace unless more of it comes: its lost time reaches a
    // third of its allowance.
    Clock::time_point offPace() const;

    // The share of its allowance a body may lose and still keep its pace: a third. Honest
    // lags stay well inside it (between pieces sent at the pace, the round trip of 100
    // Continue, a stall or a slow start of 3 s), while a wave of fresh trickles that takes
    // every connection gives way again within about 5 s.
    static constexpr int kKeptShare = 3;

private:
    // The time past the start that `received` bytes pay for at the pace.
    Clock::duration paidFor() const;
    // The lost time allowed with `received` bytes come.
    Clock::duration allowance() const;

    Rules rules_;
    Clock::time_point start_{};
    Clock::time_point deadline_{};
    Clock::time_point last_{};  // when the last bytes came, or the start
    std::uint64_t length_ = 0;
    std::uint64_t received_ = 0;
};
