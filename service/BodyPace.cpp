#include "BodyPace.h"

#include <algorithm>

namespace {

using Milliseconds = std::chrono::milliseconds;

std::uint64_t millisecondsOf(std::chrono::steady_clock::duration span) {
    return static_cast<std::uint64_t>(
        std::max<std::int64_t>(std::chrono::duration_cast<Milliseconds>(span).count(), 0));
}

}  // namespace

// A length beyond any real body's (a head may announce up to 2^64 - 1 bytes) is given a
// century at most, so that its deadline stays within the clock's range.
BodyPace::Clock::duration BodyPace::Rules::timeFor(std::uint64_t length) const {
    constexpr unsigned __int128 kCentury = 100ULL * 365 * 24 * 3600 * 1000;  // milliseconds
    if (bytesPerSecond == 0) return time;
    const unsigned __int128 added = static_cast<unsigned __int128>(length) * 1000 / bytesPerSecond;
    return time + Milliseconds(static_cast<std::uint64_t>(std::min(added, kCentury)));
}

BodyPace::BodyPace(const Rules& rules, Clock::time_point start, std::uint64_t length)
    : rules_(rules), start_(start), deadline_(start + rules.timeFor(length)), last_(start), length_(length) {}

void BodyPace::arrived(std::uint64_t received, Clock::time_point now) {
    received_ = std::min(received, length_);
    last_ = now;
}

// With S the start, D the deadline, N the length and R the bytes come, the pace is
// N / (D - S), and R pays for (D - S) * R / N of time: in 128 bits, since a span's
// milliseconds times a length's bytes may not fit in 64.
BodyPace::Clock::duration BodyPace::paidFor() const {
    const std::uint64_t span = millisecondsOf(deadline_ - start_);
    if (length_ == 0 || received_ == length_) return Milliseconds(span);
    return Milliseconds(static_cast<std::uint64_t>(static_cast<unsigned __int128>(span) * received_ / length_));
}

BodyPace::Clock::duration BodyPace::allowance() const {
    const std::uint64_t credit = rules_.bytesPerSecond == 0 ? 0 : received_ * 1000 / rules_.bytesPerSecond;
    return rules_.grace + Milliseconds(credit);
}

// The pace rule cuts at S + paid for + allowance; the least rate at the time R pays for at
// that rate or as the body goes off its pace, whichever is later, though not before the
// grace is over; silence a while after the last bytes.
BodyPace::Clock::time_point BodyPace::lapse() const {
    Clock::time_point lapse = std::min(last_ + rules_.silence, allowanceEnd());
    if (rules_.leastRate > 0) {
        const Clock::duration paidAtLeastRate = Milliseconds(received_ * 1000 / rules_.leastRate);
        lapse = std::min(lapse, std::max(start_ + std::max<Clock::duration>(rules_.grace, paidAtLeastRate), offPace()));
    }
    return lapse;
}

BodyPace::Clock::time_point BodyPace::allowanceEnd() const { return start_ + paidFor() + allowance(); }

BodyPace::Clock::time_point BodyPace::offPace() const { return start_ + paidFor() + allowance() / kKeptShare; }
