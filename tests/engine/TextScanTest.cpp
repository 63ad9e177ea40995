#include <gtest/gtest.h>

#include <cmath>

#include "engine/TextScan.h"

namespace {

TEST(TextScanTest, IntegersTakeTheLeadingNumberAndClampAtTheLimits) {
    EXPECT_EQ(scanInt(u" \t-42x"), -42);
    EXPECT_EQ(scanInt(u"+7"), 7);
    EXPECT_EQ(scanInt(u"2147483647"), 2147483647);
    EXPECT_EQ(scanInt(u"2147483648"), 2147483647);
    EXPECT_EQ(scanInt(u"-2147483649"), -2147483647 - 1);
    EXPECT_EQ(scanInt(u"99999999999999999999999999"), 2147483647);
    EXPECT_FALSE(scanInt(u"-"));
    EXPECT_FALSE(scanInt(u"x1"));
    EXPECT_FALSE(scanInt(u""));
}

TEST(TextScanTest, HexAcceptsAPrefixAndWrapsANegativeLikeScanf) {
    EXPECT_EQ(scanHex(u"ff0000"), 0xff0000u);
    EXPECT_EQ(scanHex(u"0xFFFF0000"), 0xffff0000u);
    EXPECT_EQ(scanHex(u"-1"), 0xffffffffu);
    EXPECT_EQ(scanHex(u"123456789abc"), 0xffffffffu);
    EXPECT_EQ(scanHex(u"0x"), 0u);
    EXPECT_FALSE(scanHex(u"g"));
}

TEST(TextScanTest, DecimalsIgnoreTheLocaleAndSaturate) {
    EXPECT_EQ(scanDouble(u" 0.5"), 0.5);
    EXPECT_EQ(scanDouble(u"+1.25e1x"), 12.5);
    EXPECT_EQ(scanDouble(u"-3"), -3.0);
    EXPECT_TRUE(std::isinf(*scanDouble(u"-1e999")));
    EXPECT_EQ(*scanDouble(u"1e-999"), 0.0);
    EXPECT_FALSE(scanDouble(u"."));
    EXPECT_FALSE(scanDouble(u"+-1"));
}

}  // namespace
