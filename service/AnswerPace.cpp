#include "AnswerPace.h"

#include <algorithm>

namespace {

// `t` and `span` later, or the end of time: a connection is ended as at the end of time
// when nothing is sent any more.
AnswerPace::Clock::time_point later(AnswerPace::Clock::time_point t, AnswerPace::Clock::duration span) {
    return t > AnswerPace::Clock::time_point::max() - span ? AnswerPace::Clock::time_point::max() : t + span;
}

}  // namespace

void AnswerPace::owe(std::uint64_t bytes, std::uint64_t owed, Clock::time_point now) {
    // Time paid for and not used is kept: a client that has taken all it was sent may
    // still be reading it.
    if (owed == bytes) lastStep_ = now;
    deadline_ = std::max(deadline_, later(now, rules_.time + timeFor(owed)));
}

void AnswerPace::took(std::uint64_t bytes, Clock::time_point now) {
    lastStep_ = now;
    paidUntil_ = std::min(later(std::max(paidUntil_, now), timeFor(bytes)), later(now, timeFor(rules_.longestStep)));
}

AnswerPace::Clock::time_point AnswerPace::stalledAt() const {
    return std::max(later(lastStep_, rules_.patience), later(paidUntil_, rules_.slack));
}

// In milliseconds, so that a step of a few bytes still pays for its part.
AnswerPace::Clock::duration AnswerPace::timeFor(std::uint64_t bytes) const {
    if (rules_.bytesPerSecond == 0) return Clock::duration::zero();
    return std::chrono::milliseconds(bytes / rules_.bytesPerSecond * 1000 +
                                     bytes % rules_.bytesPerSecond * 1000 / rules_.bytesPerSecond);
}
