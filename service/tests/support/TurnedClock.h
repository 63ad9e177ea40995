#pragma once
// A steady clock that stands still until the test turns it, for a store's waits and a
// server's deadlines, so that no time passes but as the test says. It counts its reads,
// and the threads that have read it, so that a test can tell that a caller has begun to
// wait on it (a wait polls the clock).
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <thread>

class TurnedClock {
public:
    using Clock = std::chrono::steady_clock;

    // Standing at `start`, the steady clock's time when not given.
    explicit TurnedClock(Clock::time_point start = Clock::now())
        : serial_(++serials), now_(start.time_since_epoch().count()) {}
    TurnedClock(const TurnedClock&) = delete;
    TurnedClock& operator=(const TurnedClock&) = delete;

    Clock::time_point now() {
        thread_local std::uint64_t seenBy = 0;  // the serial of the last clock this thread counted for
        if (seenBy != serial_) {
            seenBy = serial_;
            ++readers_;
        }
        ++reads_;
        return Clock::time_point(Clock::duration(now_.load()));
    }
    std::function<Clock::time_point()> function() {
        return [this] { return now(); };
    }
    // The same clock, its reads not counted: for a server beside the store watched.
    std::function<Clock::time_point()> uncounted() {
        return [this] { return Clock::time_point(Clock::duration(now_.load())); };
    }
    void advance(Clock::duration by) { now_ += by.count(); }

    // Reads so far, and how many threads have read it.
    std::uint64_t reads() const { return reads_; }
    std::uint64_t readers() const { return readers_; }

    // Waits (up to 10 s of real time) until `done` holds; whether it does.
    template <typename Done>
    static bool waitUntil(const Done& done) {
        for (int i = 0; i < 2000 && !done(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return done();
    }
    // Whether a caller that began after `readsBefore` were taken waits on the clock: it
    // has read it as it began, and polled it since.
    bool polledSince(std::uint64_t readsBefore) const { return reads_ >= readsBefore + 4; }
    bool waitForPolls(std::uint64_t readsBefore) const {
        return waitUntil([&] { return polledSince(readsBefore); });
    }

private:
    static inline std::atomic<std::uint64_t> serials = 0;
    const std::uint64_t serial_;
    std::atomic<Clock::rep> now_;
    std::atomic<std::uint64_t> reads_ = 0;
    std::atomic<std::uint64_t> readers_ = 0;
};
