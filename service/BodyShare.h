#pragma once
// One request body's part of the memory held for bodies, grown as its bytes come, until
// its request is answered or dropped: on its connection, then in the queue, then on its
// worker. Moving a share moves its part; destroying one gives its part back. A share is
// used by one thread at a time; the budget it draws on is shared by the server's thread
// and the workers.
#include <atomic>
#include <cstdint>
#include <utility>

class BodyShare {
public:
    // The bytes held for bodies in memory at once, for the server to bound.
    struct Budget {
        std::atomic<std::uint64_t> held = 0;   // by requests alive now
        std::atomic<std::uint64_t> freed = 0;  // given back since the heap was last trimmed
    };

    BodyShare() = default;
    BodyShare(BodyShare&& other) noexcept
        : budget_(std::exchange(other.budget_, nullptr)), bytes_(std::exchange(other.bytes_, 0)) {}
    BodyShare& operator=(BodyShare&& other) noexcept;
    BodyShare(const BodyShare&) = delete;
    BodyShare& operator=(const BodyShare&) = delete;
    ~BodyShare() { release(); }

    // Takes `bytes` more of `budget`, the same budget each time.
    void take(Budget& budget, std::uint64_t bytes);
    // Gives back all it holds.
    void release();

private:
    Budget* budget_ = nullptr;
    std::uint64_t bytes_ = 0;
};
