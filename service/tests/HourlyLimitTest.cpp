#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

#include "HourlyLimit.h"

namespace {

using namespace std::chrono_literals;

// A limit on a clock that the test moves, from some hours into its count.
class HourlyLimitTest : public ::testing::Test {
protected:
    HourlyLimit limit(int perHour, std::size_t networks = HourlyLimit::kNetworks) {
        return HourlyLimit(
            perHour,
            [this] {
                const HourlyLimit::Clock::time_point read = now;
                if (between) std::exchange(between, {})();
                return read;
            },
            networks);
    }
    // How many takes of `address` succeed, trying `tries` times.
    static int takes(HourlyLimit& limit, const std::string& address, int tries) {
        int taken = 0;
        for (int i = 0; i < tries; ++i) taken += limit.take(address).taken.has_value();
        return taken;
    }

    // Right after the clock's next read, as another worker would between a take's reading
    // of the clock and its lock, turns the clock 1 ms on and takes for `address`.
    void takeBetween(HourlyLimit& limit, std::string address) {
        between = [this, &limit, address] {
            now += 1ms;
            limit.take(address);
        };
    }

    HourlyLimit::Clock::time_point now = HourlyLimit::Clock::time_point(100h);
    std::function<void()> between;  // run once, right after the clock's next read
};

// The hour before counts by the share of it still within the last 60 minutes, rounded up.
TEST_F(HourlyLimitTest, theHourBeforeCountsByItsShareOfTheLastSixtyMinutes) {
    HourlyLimit limit = this->limit(4);
    now += 59min;
    EXPECT_EQ(takes(limit, "10.0.0.1", 5), 4);
    EXPECT_EQ(takes(limit, "10.0.0.2", 1), 1);  // another address has an hour of its own
    now += 1min;                                // all four still count
    EXPECT_EQ(takes(limit, "10.0.0.1", 1), 0);
    now += 16min;  // 44/60 of four: three of them count
    EXPECT_EQ(takes(limit, "10.0.0.1", 2), 1);
    now += 29min;  // one of them and the one just taken
    EXPECT_EQ(takes(limit, "10.0.0.1", 3), 2);
    now += 2h;  // all have aged out
    EXPECT_EQ(takes(limit, "10.0.0.1", 5), 4);
    HourlyLimit none(0);
    EXPECT_FALSE(none.take("10.0.0.3").taken);
}

// Whoever holds an IPv6 /64 may use any address in it; an IPv4 address written as IPv6
// is still the same address.
TEST_F(HourlyLimitTest, anIpv6AddressCountsByItsSlash64AndAMappedIpv4AddressAsItself) {
    HourlyLimit limit = this->limit(2);
    EXPECT_EQ(takes(limit, "2001:db8:1:2::1", 1), 1);
    EXPECT_EQ(takes(limit, "2001:db8:1:2:ffff:ffff:ffff:fffe", 2), 1);
    EXPECT_EQ(takes(limit, "2001:db8:1:3::1", 2), 2);
    EXPECT_EQ(takes(limit, "192.0.2.7", 1), 1);
    EXPECT_EQ(takes(limit, "::ffff:192.0.2.7", 2), 1);
    EXPECT_EQ(takes(limit, "192.0.2.8", 2), 2);
    EXPECT_EQ(limit.networkCount(), 4u);
}

// A take given back frees its room in whichever hour it was counted, and nothing once it
// no longer counts: never room that later takes use.
TEST_F(HourlyLimitTest, whatIsGivenBackNoLongerCountsAndOnlyWhileItStillCounted) {
    HourlyLimit limit = this->limit(2);
    const auto first = limit.take("10.0.0.1").taken;
    ASSERT_TRUE(first && limit.take("10.0.0.1").taken);
    limit.giveBack("10.0.0.1", *first);
    EXPECT_EQ(takes(limit, "10.0.0.1", 2), 1);

    now += 1h;  // both takes of the hour before still count in full
    limit.giveBack("10.0.0.1", *first);
    EXPECT_EQ(takes(limit, "10.0.0.1", 2), 1);

    const auto late = limit.take("10.0.0.2").taken;
    now += 2h;
    ASSERT_TRUE(limit.take("10.0.0.2").taken);
    ASSERT_TRUE(limit.take("10.0.0.2").taken);
    limit.giveBack("10.0.0.2", *late);  // aged out: the two new takes still count
    limit.giveBack("10.0.0.9", *late);  // never seen
    EXPECT_EQ(takes(limit, "10.0.0.2", 1), 0);
}

// Networks that came once and not again must not be remembered for ever: many of them
// would fill the memory.
TEST_F(HourlyLimitTest, networksWhoseCountsHaveAgedOutAreSweptOut) {
    HourlyLimit limit = this->limit(5);
    for (int i = 0; i < 5000; ++i) ASSERT_EQ(takes(limit, "old " + std::to_string(i), 1), 1);
    now += 2h;
    for (int i = 0; i < 5000; ++i) ASSERT_EQ(takes(limit, "new " + std::to_string(i), 1), 1);
    EXPECT_LT(limit.networkCount(), 10000u);
    // The recent ones are kept, with their counts.
    EXPECT_EQ(takes(limit, "new 7", 5), 4);
}

// However many networks come, a full table neither grows, nor forgets counts that would
// let anyone take more, nor refuses newcomers once the counts have aged out. A newcomer
// refused for want of room is told so, not that it has used its hour's worth.
TEST_F(HourlyLimitTest, aFullTableLetsNoOneTakeMoreAndRecoversAsCountsAgeOut) {
    constexpr int kNetworks = 16;
    HourlyLimit limit = this->limit(3, kNetworks);
    EXPECT_EQ(takes(limit, "10.1.0.0", 3), 3);
    int taken = 3;
    for (int i = 1; i < 5000; ++i)
        taken += takes(limit, "10.1." + std::to_string(i / 256) + "." + std::to_string(i % 256), 1);
    EXPECT_EQ(limit.networkCount(), static_cast<std::size_t>(kNetworks));
    EXPECT_EQ(taken, kNetworks * 3);
    // The flood did not free the one that had used its hour, nor do returning ones get more.
    EXPECT_EQ(limit.take("10.1.0.0").refusal, HourlyLimit::Refusal::spent);
    EXPECT_EQ(takes(limit, "10.1.0.1", 1), 0);
    EXPECT_EQ(limit.take("10.3.0.1").refusal, HourlyLimit::Refusal::crowded);

    now += 2h;
    EXPECT_EQ(takes(limit, "10.2.0.1", 3), 3);
    EXPECT_EQ(takes(limit, "10.1.0.0", 3), 3);
}

// A newcomer to a full table takes over the entry of the network seen longest ago among
// the least counted, with its counts: those keep it from taking more than the table's
// worth, but they are not its own. Refused by them, it is told that the service counts
// too many networks, not that it has used its hour's worth; the networks seen since keep
// their entries and their own counts.
TEST_F(HourlyLimitTest, aNewcomerRefusedForCountsItTookOverIsToldItIsCrowdedOut) {
    HourlyLimit limit = this->limit(2, 3);
    for (const char* address : {"10.0.0.1", "10.0.0.2", "10.0.0.3"}) {
        ASSERT_TRUE(limit.take(address).taken) << address;
        now += 10min;
    }
    ASSERT_TRUE(limit.take("10.0.0.9").taken);
    EXPECT_EQ(limit.take("10.0.0.9").refusal, HourlyLimit::Refusal::crowded);
    for (const char* kept : {"10.0.0.2", "10.0.0.3"}) {
        EXPECT_TRUE(limit.take(kept).taken) << kept;
        EXPECT_EQ(limit.take(kept).refusal, HourlyLimit::Refusal::spent) << kept;
    }
    // The one handed over comes back as a newcomer, to a table whose counts leave no room.
    EXPECT_EQ(limit.take("10.0.0.1").refusal, HourlyLimit::Refusal::crowded);
    EXPECT_EQ(limit.networkCount(), 3u);
}

// Another worker may count a later moment between a take's reading of the clock and its
// lock: here the last millisecond of an hour, read before the first of the next was
// counted. The take counts in the entry's hour, the later one, weighs the hour before as
// that moment does, and is given back from the hour it went into.
TEST_F(HourlyLimitTest, aTakeOvertakenByTheHoursTurnCountsAsTheLaterHour) {
    HourlyLimit limit = this->limit(2);
    now += 1h - 1ms;
    takeBetween(limit, "10.0.0.1");
    const auto late = limit.take("10.0.0.1").taken;
    ASSERT_TRUE(late);
    limit.giveBack("10.0.0.1", *late);
    EXPECT_EQ(takes(limit, "10.0.0.1", 2), 1);

    // Both takes of the hour before still count in full once it has turned.
    now += 1h - 1ms;
    EXPECT_EQ(takes(limit, "10.0.0.2", 2), 2);
    takeBetween(limit, "10.0.0.2");
    const HourlyLimit::Outcome after = limit.take("10.0.0.2");
    EXPECT_FALSE(after.taken);
    EXPECT_EQ(after.refusal, HourlyLimit::Refusal::spent);
}

// Likewise in a full table: an entry whose hour has turned is handed over only if its
// counts as they stand then leave room.
TEST_F(HourlyLimitTest, aFullTableHandsOverAnEntryByItsCountsAfterTheHoursTurn) {
    HourlyLimit limit = this->limit(2, 1);
    now += 1h - 1ms;
    EXPECT_EQ(takes(limit, "10.0.0.1", 2), 2);
    takeBetween(limit, "10.0.0.1");
    const HourlyLimit::Outcome newcomer = limit.take("10.0.0.9");
    EXPECT_FALSE(newcomer.taken);
    EXPECT_EQ(newcomer.refusal, HourlyLimit::Refusal::crowded);
    EXPECT_EQ(limit.take("10.0.0.1").refusal, HourlyLimit::Refusal::spent);
}

}  // namespace
