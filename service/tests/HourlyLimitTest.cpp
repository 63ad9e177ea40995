#include <gtest/gtest.h>

#include "HourlyLimit.h"

namespace {

constexpr std::int64_t kStart = 1700000000;

TEST(HourlyLimitTest, eachAddressHasItsOwnSlidingHourAndWhatIsGivenBackNoLongerCounts) {
    HourlyLimit limit(2);
    EXPECT_TRUE(limit.take("10.0.0.1", kStart));
    EXPECT_TRUE(limit.take("10.0.0.1", kStart + 600));
    EXPECT_FALSE(limit.take("10.0.0.1", kStart + 601));
    EXPECT_TRUE(limit.take("10.0.0.2", kStart + 601));
    // The first take leaves the hour one hour after it, the second one later.
    EXPECT_FALSE(limit.take("10.0.0.1", kStart + 3599));
    EXPECT_TRUE(limit.take("10.0.0.1", kStart + 3600));
    EXPECT_FALSE(limit.take("10.0.0.1", kStart + 3601));
    limit.giveBack("10.0.0.1", kStart + 5);  // no such take: nothing changes
    EXPECT_FALSE(limit.take("10.0.0.1", kStart + 3602));
    limit.giveBack("10.0.0.1", kStart + 3600);
    EXPECT_TRUE(limit.take("10.0.0.1", kStart + 3603));
    EXPECT_FALSE(HourlyLimit(0).take("10.0.0.3", kStart));
}

// Addresses that came once and not again must not be remembered for ever: many of them
// would fill the memory.
TEST(HourlyLimitTest, addressesWhoseHourHasPassedAreForgotten) {
    HourlyLimit limit(5);
    for (int i = 0; i < 5000; ++i) ASSERT_TRUE(limit.take("old " + std::to_string(i), kStart + i / 100));
    EXPECT_EQ(limit.addressCount(), 5000u);
    // They are swept out by the time as many new ones have come again.
    for (int i = 0; i < 5000; ++i) ASSERT_TRUE(limit.take("new " + std::to_string(i), kStart + 3700));
    EXPECT_LE(limit.addressCount(), 5000u);
    // The recent ones are kept, with their counts.
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(limit.take("new 7", kStart + 3701));
    EXPECT_FALSE(limit.take("new 7", kStart + 3701));
}

}  // namespace
