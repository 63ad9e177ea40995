#pragma once
// How fast a connection's client is asked to take its answers, and when it has stopped.
//
// A client is asked to take what it is owed at `bytesPerSecond` or faster. A reader that
// keeps that pace cannot be told from one that has stopped by how long it goes without
// taking anything: its side takes bytes in steps, as its receive window reopens, and
// between two steps it takes nothing for as long as it needs to read what the last step
// brought (2 s for 2 KiB at 1 KiB a second, a minute for 64 KiB). So every byte it takes
// pays for its time at the pace: the client keeps its pace until what it has taken has
// paid for, and `slack` more for the jitter of the steps' round trips; a client that has
// taken nothing yet since it was owed, or only a little, has `patience` from its last
// step, for the round trip of its first bytes. Past that point it has stopped taking its
// answers, and may give way to others (`ConnectionSlots`). What one step pays for is
// bounded by `longestStep`, the most a slow reader's window takes at once: a client that
// takes much and then nothing holds its place only as long as that would take to read.
// Time paid for and not used goes on to the next step, so that acknowledgements split
// over several looks count as one step, and a reader faster than the pace banks its lead.
//
// Answers also have a deadline, which grows with what the client is owed: `time`, and a
// second for every `bytesPerSecond` owed when an answer is added. A client that keeps the
// pace takes all it is owed well before it.
#include <chrono>
#include <cstdint>

class AnswerPace {
public:
    using Clock = std::chrono::steady_clock;

    struct Rules {
        std::uint64_t bytesPerSecond = 1024;       // the least pace a reader is asked to keep
        std::chrono::milliseconds time{30000};     // any answer's, before the time its length adds
        std::chrono::milliseconds patience{1500};  // for the first bytes' round trip, and at least after any step
        std::chrono::milliseconds slack{500};      // past what the bytes taken have paid for
        std::uint64_t longestStep = 64 * 1024;     // the most bytes whose time is banked at once
    };

    AnswerPace() = default;
    explicit AnswerPace(const Rules& rules) : rules_(rules) {}

    // The client is owed `bytes` more from `now` on, `owed` in all with them. One that was
    // owed nothing before has not had the time to take any: its patience starts now, and
    // what it took before still pays for the time it may take to read it.
    void owe(std::uint64_t bytes, std::uint64_t owed, Clock::time_point now);
    // The client has taken `bytes` more by `now`.
    void took(std::uint64_t bytes, Clock::time_point now);

    // When the client will have stopped taking its answers unless it takes more.
    Clock::time_point stalledAt() const;
    // By when the client must have taken all it is owed.
    Clock::time_point deadline() const { return deadline_; }
    // When the client last took bytes, or began to be owed.
    Clock::time_point lastStep() const { return lastStep_; }

private:
    Clock::duration timeFor(std::uint64_t bytes) const;

    Rules rules_;
    Clock::time_point lastStep_{};
    Clock::time_point paidUntil_{};  // what the bytes taken have paid for at the pace
    Clock::time_point deadline_{};
};
