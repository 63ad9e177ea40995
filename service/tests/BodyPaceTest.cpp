#include <gtest/gtest.h>

#include <vector>

#include "BodyPace.h"

namespace {

using namespace std::chrono_literals;
using Clock = BodyPace::Clock;

constexpr std::uint64_t KiB = 1024;

// How a client sends a body: a burst at once, then spells each at a rate (0: a stall),
// in turn, repeated until the body is whole.
struct Profile {
    std::uint64_t length = 0;
    std::uint64_t burst = 0;
    std::vector<std::pair<double, double>> spells;  // seconds, bytes per second
    bool repeated = false;

    // The bytes sent `t` seconds after the head.
    std::uint64_t sentBy(double t) const {
        double sent = static_cast<double>(burst);
        for (std::size_t i = 0; t > 0; ++i) {
            if (i == spells.size() && !repeated) break;
            const auto [seconds, rate] = spells[i % spells.size()];
            sent += std::min(t, seconds) * rate;
            t -= seconds;
        }
        return std::min(length, static_cast<std::uint64_t>(sent));
    }
};

struct Outcome {
    bool whole = false;  // else cut off
    double seconds = 0;  // when whole or cut off, from the head
};

// A body's deadline as the server gives it: 30 s, and a second per 32 KiB.
Clock::duration deadlineOf(std::uint64_t length) { return 30s + std::chrono::milliseconds(length * 1000 / (32 * KiB)); }

// Runs `profile` against the pace in the server's rounds of 100 ms: the bytes that came in
// a round, then the check of the lapse and the deadline.
Outcome run(const Profile& profile) {
    const Clock::time_point start{1h};
    const Clock::time_point deadline = start + deadlineOf(profile.length);
    BodyPace pace({}, start, deadline, profile.length);
    std::uint64_t received = 0;
    for (int round = 1;; ++round) {
        const Clock::time_point now = start + round * 100ms;
        const double seconds = round / 10.0;
        if (const std::uint64_t sent = profile.sentBy(seconds); sent > received) {
            received = sent;
            pace.arrived(received, now);
            if (received == profile.length) return {true, seconds};
        }
        if (now >= pace.lapse() || now >= deadline) return {false, seconds};
    }
}

// Honest clients on slow or unsteady links, whose bodies keep about the pace their
// deadlines ask of them, arrive whole: stalls of a few seconds, a slow start, a link that
// comes in bursts.
TEST(BodyPaceTest, bodiesThatKeepAboutTheirPaceWithStallsOrASlowStartArriveWhole) {
    // 300 KiB at 9.6 KiB/s with one stall of 3 s at 10 s.
    const Outcome stalled = run({300 * KiB, 0, {{10, 9.6 * KiB}, {3, 0}, {1000, 9.6 * KiB}}});
    EXPECT_TRUE(stalled.whole) << stalled.seconds;
    EXPECT_NEAR(stalled.seconds, 34.3, 0.2);
    // A link that stalls 3 s, then sends 2 s at 24 KiB/s, over and over.
    const Outcome bursts = run({300 * KiB, 0, {{3, 0}, {2, 24 * KiB}}, true});
    EXPECT_TRUE(bursts.whole) << bursts.seconds;
    EXPECT_NEAR(bursts.seconds, 33.5, 0.2);
    // 1 KiB, a pause of 9.5 s, then 100 KiB/s.
    const Outcome slowStart = run({300 * KiB, 1 * KiB, {{9.5, 0}, {1000, 100 * KiB}}});
    EXPECT_TRUE(slowStart.whole) << slowStart.seconds;
    EXPECT_NEAR(slowStart.seconds, 12.5, 0.2);
    // 32 MiB at 40 KiB/s with one stall of 3 s at 10 s.
    const Outcome large = run({32 * KiB * KiB, 0, {{10, 40 * KiB}, {3, 0}, {10000, 40 * KiB}}});
    EXPECT_TRUE(large.whole) << large.seconds;
    EXPECT_NEAR(large.seconds, 822.2, 0.2);
    // An upload of 64 KiB that starts only after 9 s.
    const Outcome upload = run({64 * KiB, 0, {{9, 0}, {100, 10 * KiB}}});
    EXPECT_TRUE(upload.whole) << upload.seconds;
}

// A body that fell far behind may catch up by coming faster: each 32 KiB it sends buys
// it another second.
TEST(BodyPaceTest, aLargeBodyThatFellBehindMayCatchUp) {
    // 32 MiB at 20 KiB/s for 100 s (over 35 s behind its pace of 31 KiB/s), then 100 KiB/s.
    const Outcome late = run({32 * KiB * KiB, 0, {{100, 20 * KiB}, {10000, 100 * KiB}}});
    EXPECT_TRUE(late.whole) << late.seconds;
}

// Trickles hold their connections only briefly: a body at 600 bytes a second is cut off
// soon after the grace, whatever it announces, as is one under the least rate, and one
// that falls silent once its silence has lasted as long as a head may take.
TEST(BodyPaceTest, tricklesAndSilentBodiesAreCutOffSoonAfterTheGrace) {
    const Outcome largeTrickle = run({32 * KiB * KiB, 0, {{10000, 600}}});
    EXPECT_FALSE(largeTrickle.whole);
    EXPECT_GT(largeTrickle.seconds, 10);
    EXPECT_LT(largeTrickle.seconds, 11);
    const Outcome trickle = run({300 * KiB, 0, {{10000, 600}}});
    EXPECT_FALSE(trickle.whole);
    EXPECT_LT(trickle.seconds, 12);
    const Outcome uploadTrickle = run({64 * KiB, 0, {{10000, 600}}});
    EXPECT_FALSE(uploadTrickle.whole);
    EXPECT_LT(uploadTrickle.seconds, 15);
    // Under the least rate, though ahead of its pace: whole at 20.5 s else.
    const Outcome underLeastRate = run({8 * KiB, 0, {{10000, 400}}});
    EXPECT_FALSE(underLeastRate.whole);
    EXPECT_NEAR(underLeastRate.seconds, 10, 0.05);
    // Silent for 10 s after its first 100 KiB.
    const Outcome silent = run({300 * KiB, 100 * KiB, {{10000, 0}}});
    EXPECT_FALSE(silent.whole);
    EXPECT_NEAR(silent.seconds, 10.1, 0.05);
    // Far behind and never catching up: cut off well before its deadline of 39 s.
    const Outcome behind = run({300 * KiB, 0, {{10000, 2 * KiB}}});
    EXPECT_FALSE(behind.whole);
    EXPECT_LT(behind.seconds, 16);
}

// A body's allowance runs out at the time its bytes pay for at the pace, and its grace and
// credit later; the silence cuts it off sooner when it stops.
TEST(BodyPaceTest, theAllowanceRunsOutItsGraceAndCreditAfterTheTimeItsBytesPayFor) {
    const Clock::time_point start{1h};
    // 64 KiB due in 32 s: a pace of 2 KiB a second.
    BodyPace pace({}, start, start + 32s, 64 * KiB);
    EXPECT_EQ(pace.allowanceEnd(), start + 10s);
    pace.arrived(32 * KiB, start + 1s);  // pays for 16 s, and buys a second
    EXPECT_EQ(pace.allowanceEnd(), start + 27s);
    EXPECT_EQ(pace.lapse(), start + 11s);  // silent by then
    pace.arrived(40 * KiB, start + 10s);   // pays for 20 s, and buys 1.25 s
    EXPECT_EQ(pace.allowanceEnd(), start + 31250ms);
    EXPECT_EQ(pace.lapse(), start + 20s);
}

}  // namespace
