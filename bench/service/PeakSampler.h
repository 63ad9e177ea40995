#pragma once
// The largest value of a measure (a process's resident memory, say) over a span, sampled
// on a thread of its own from construction until `finish` or destruction.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

namespace bench {

// Samples `measure` every 10 ms and keeps the largest value.
class PeakSampler {
public:
    template <typename Measure>
    explicit PeakSampler(Measure measure)
        : thread_([this, measure] {
              while (!done_) {
                  peak_ = std::max<std::uintmax_t>(peak_, measure());
                  std::this_thread::sleep_for(std::chrono::milliseconds(10));
              }
          }) {}
    ~PeakSampler() { finish(); }
    PeakSampler(const PeakSampler&) = delete;
    PeakSampler& operator=(const PeakSampler&) = delete;
    // Stops sampling; the largest value seen.
    std::uintmax_t finish() {
        done_ = true;
        if (thread_.joinable()) thread_.join();
        return peak_;
    }

private:
    std::atomic<bool> done_ = false;
    std::atomic<std::uintmax_t> peak_ = 0;
    std::thread thread_;
};

}  // namespace bench
