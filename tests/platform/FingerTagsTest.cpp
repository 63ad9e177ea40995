#include <gtest/gtest.h>

#include "platform/FingerTags.h"

namespace {

TEST(FingerTagsTest, TagsAreSmallFreeNumbersFromOne) {
    FingerTags tags;
    EXPECT_EQ(tags.press(7, 1000), 1);
    EXPECT_EQ(tags.press(7, 1001), 2);
    EXPECT_EQ(tags.press(9, 1000), 3);  // same finger id on another device
    EXPECT_EQ(tags.release(7, 1000), 1);
    EXPECT_EQ(tags.press(7, 5000), 1);  // the lowest free tag comes back
    EXPECT_EQ(tags.find(7, 1001), 2);
    EXPECT_EQ(tags.find(7, 1000), -1);
}

TEST(FingerTagsTest, UnknownFingersAndLostReleases) {
    FingerTags tags;
    EXPECT_EQ(tags.release(1, 1), -1);
    EXPECT_EQ(tags.find(1, 1), -1);
    EXPECT_EQ(tags.press(1, 1), 1);
    EXPECT_EQ(tags.press(1, 1), 1);  // pressed again without a release: the same tag
    EXPECT_EQ(tags.release(1, 1), 1);
    EXPECT_EQ(tags.release(1, 1), -1);
}

TEST(FingerTagsTest, AFullTableForgetsTheOldestFinger) {
    FingerTags tags;
    for (std::int64_t f = 0; f < static_cast<std::int64_t>(FingerTags::kMaxFingers); ++f)
        EXPECT_EQ(tags.press(0, f), f + 1);
    EXPECT_EQ(tags.press(0, 999), 1);
    EXPECT_EQ(tags.find(0, 0), -1);
    EXPECT_EQ(tags.find(0, 1), 2);
}

}  // namespace
