#include <gtest/gtest.h>

#include "platform/FingerTags.h"

namespace {

TEST(FingerTagsTest, SmallestFreeTagsFromOneAndLostReleasesKeepTheirTag) {
    FingerTags tags;
    EXPECT_EQ(tags.press(7, 1000), 1);
    EXPECT_EQ(tags.press(9, 1000), 2);  // the same finger id on another device
    EXPECT_EQ(tags.press(7, 1000), 1);  // down again without a release
    EXPECT_EQ(tags.release(7, 1000), 1);
    EXPECT_EQ(tags.release(7, 1000), -1);
    EXPECT_EQ(tags.find(7, 1000), -1);
    EXPECT_EQ(tags.press(7, 5000), 1);
}

TEST(FingerTagsTest, AFullTableForgetsTheOldestFinger) {
    FingerTags tags;
    for (std::int64_t f = 0; f < static_cast<std::int64_t>(FingerTags::kMaxFingers); ++f) tags.press(0, f);
    EXPECT_EQ(tags.press(0, 999), 1);
    EXPECT_EQ(tags.find(0, 0), -1);
    EXPECT_EQ(tags.find(0, 1), 2);
}

}  // namespace
