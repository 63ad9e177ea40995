#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "BusySpellLog.h"

namespace {

using Clock = BusySpellLog::Clock;

// `seconds` into the test's time.
Clock::time_point at(int seconds) { return Clock::time_point(std::chrono::hours(1) + std::chrono::seconds(seconds)); }

// Workers tell the log of their uploads in another order than that of their times. An
// upload turned away before a commit the log has already heard of was turned away in a
// spell that ended at that commit: its lines say so at once, and no spell is left open
// after the database has taken uploads again.
TEST(BusySpellLogTest, aRefusalHeardOfAfterALaterCommitIsASpellThatHasEnded) {
    testing::internal::CaptureStderr();
    {
        BusySpellLog log([] { return at(100); });
        log.committed(at(10));
        log.turnedAway("database is locked", at(3), at(8));
        const std::string ended = testing::internal::GetCapturedStderr();
        EXPECT_EQ(ended,
                  "torvane_service: the score database is busy (database is locked): uploads are turned away until "
                  "it is free\n"
                  "torvane_service: the score database takes uploads again, busy for 7.0 s; uploads turned away: 1\n");
        testing::internal::CaptureStderr();
        // A later one opens a spell of its own, from when it began to wait; one that
        // began before the last commit but was turned away after it runs the spell from
        // that commit, when the database last took an upload.
        log.turnedAway("database is locked", at(15), at(20));
        log.turnedAway("database is locked", at(8), at(21));
        log.committed(at(25));
        // A commit told of at the very moment of the last still ends a spell.
        log.turnedAway("database is locked", at(25), at(25));
        log.committed(at(25));
    }
    const std::string busy =
        "torvane_service: the score database is busy (database is locked): uploads are turned away until it is free\n";
    EXPECT_EQ(
        testing::internal::GetCapturedStderr(),
        busy + "torvane_service: the score database takes uploads again, busy for 15.0 s; uploads turned away: 2\n" +
            busy + "torvane_service: the score database takes uploads again, busy for 0.0 s; uploads turned away: 1\n");
}

// A refusal heard of after the commit that ended its spell, and after its lines went out,
// belongs to no spell going on later: the next spell counts only its own.
TEST(BusySpellLogTest, aRefusalHeardOfAfterItsSpellsLinesIsNotCountedInTheNext) {
    testing::internal::CaptureStderr();
    {
        BusySpellLog log([] { return at(100); });
        log.turnedAway("database is locked", at(1), at(6));
        log.committed(at(10));
        log.turnedAway("database is locked", at(12), at(17));
        log.turnedAway("database is locked", at(4), at(9));
        log.committed(at(20));
    }
    const std::string busy =
        "torvane_service: the score database is busy (database is locked): uploads are turned away until it is free\n";
    EXPECT_EQ(
        testing::internal::GetCapturedStderr(),
        busy + "torvane_service: the score database takes uploads again, busy for 9.0 s; uploads turned away: 1\n" +
            busy + "torvane_service: the score database takes uploads again, busy for 8.0 s; uploads turned away: 1\n");
}

}  // namespace
