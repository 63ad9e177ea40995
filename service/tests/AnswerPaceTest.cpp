#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "AnswerPace.h"

namespace {

using namespace std::chrono_literals;
using Clock = AnswerPace::Clock;

constexpr std::uint64_t KiB = 1024;
const Clock::time_point kStart{1h};

// A reader of `owed` bytes that takes them at `rate` bytes a second through a window of
// `window` bytes, as a slow client's kernel does: the window is taken whole at once, then
// nothing until the client has read `step` of it, when the window reopens by that much,
// `late` seconds after (a round trip, a look of the server's that comes late). Looked at
// every 100 ms; true when it never stopped taking its answer before it had all.
bool keepsItsPlace(double rate, std::uint64_t window, std::uint64_t step, std::uint64_t owed, double late = 0) {
    AnswerPace pace;
    pace.owe(owed, owed, kStart);
    std::uint64_t taken = 0;
    for (int round = 0; taken < owed; ++round) {
        const double t = round / 10.0;
        const Clock::time_point now = kStart + round * 100ms;
        if (now >= pace.stalledAt()) return false;
        // What the client has read by now, the last reopening it has made, and so what its
        // side has taken.
        const auto read = static_cast<std::uint64_t>(std::max(t - late, 0.0) * rate);
        const std::uint64_t open = std::min(owed, window + read / step * step);
        if (open > taken) {
            pace.took(open - taken, now);
            taken = open;
        }
    }
    return true;
}

// A client that keeps the pace keeps its place through the steps its window takes, however
// large (up to the longest step a slow reader's window takes) and however late each is
// seen, within the slack; one a little slower than the pace does not, once it has spent
// what its first window paid for.
TEST(AnswerPaceTest, aReaderAtThePaceKeepsItsPlaceBetweenTheStepsOfItsWindow) {
    const double pace = static_cast<double>(AnswerPace::Rules{}.bytesPerSecond);
    EXPECT_TRUE(keepsItsPlace(pace, 2 * KiB, 2 * KiB, 128 * KiB));
    EXPECT_TRUE(keepsItsPlace(pace, 2 * KiB, KiB, 128 * KiB, 0.3));
    EXPECT_TRUE(keepsItsPlace(pace, 24 * KiB, 8 * KiB, 128 * KiB, 0.3));
    EXPECT_TRUE(keepsItsPlace(pace, 64 * KiB, 32 * KiB, 256 * KiB, 0.3));
    EXPECT_TRUE(keepsItsPlace(10 * pace, 16 * KiB, 16 * KiB, 1024 * KiB));
    EXPECT_FALSE(keepsItsPlace(0.8 * pace, 2 * KiB, 2 * KiB, 128 * KiB));
    EXPECT_FALSE(keepsItsPlace(0.8 * pace, 24 * KiB, 8 * KiB, 128 * KiB));
}

// A client that has taken nothing since it began to be owed has its patience for the
// round trip of its first bytes; one that takes its window and then nothing more stops
// as soon as what its window took would have been read at the pace and the slack has
// passed, and never sooner than its patience after its last step; one that takes much at
// once has banked no more than the longest step pays for.
TEST(AnswerPaceTest, aClientThatStopsTakingHasStoppedOnceWhatItTookIsPaidFor) {
    const AnswerPace::Rules rules;
    AnswerPace pace(rules);
    pace.owe(40 * KiB, 40 * KiB, kStart);
    EXPECT_EQ(pace.stalledAt(), kStart + rules.patience);

    pace.took(1152, kStart + 10ms);  // a receive buffer of 1 KiB: 1.125 s at the pace
    EXPECT_EQ(pace.stalledAt(), kStart + 10ms + 1125ms + rules.slack);
    pace.took(100, kStart + 20ms);
    EXPECT_EQ(pace.stalledAt(), kStart + 10ms + 1222ms + rules.slack);

    pace.owe(300 * KiB, 300 * KiB, kStart + 1h);  // owed nothing in between: it begins anew
    EXPECT_EQ(pace.stalledAt(), kStart + 1h + rules.patience);
    pace.took(300 * KiB, kStart + 1h);
    EXPECT_EQ(pace.stalledAt(), kStart + 1h + 64s + rules.slack);
}

// A client that has taken all it was sent may still be reading it: the next answer, added
// once it owes nothing, keeps the time what it took paid for.
TEST(AnswerPaceTest, aNewAnswerKeepsTheTimeTheLastOnePaidFor) {
    const AnswerPace::Rules rules;
    AnswerPace pace(rules);
    pace.owe(16 * KiB, 16 * KiB, kStart);
    pace.took(16 * KiB, kStart + 10ms);
    pace.owe(4 * KiB, 4 * KiB, kStart + 100ms);
    EXPECT_EQ(pace.stalledAt(), kStart + 10ms + 16s + rules.slack);
}

// An answer's deadline grows with what its client is owed when it is added, at the pace,
// and a later answer never brings it closer.
TEST(AnswerPaceTest, theDeadlineGrowsWithWhatIsOwed) {
    const AnswerPace::Rules rules;
    AnswerPace pace(rules);
    pace.owe(130 * KiB, 130 * KiB, kStart);
    EXPECT_EQ(pace.deadline(), kStart + rules.time + 130s);
    pace.owe(KiB, 20 * KiB, kStart + 100s);
    EXPECT_EQ(pace.deadline(), kStart + rules.time + 130s);
    pace.owe(KiB, 60 * KiB, kStart + 100s);
    EXPECT_EQ(pace.deadline(), kStart + 100s + rules.time + 60s);
}

}  // namespace
