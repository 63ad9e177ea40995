#include <gtest/gtest.h>

#include <climits>

#include "engine/PropertyInt.h"
#include "support/BareEngine.h"

namespace {

TEST(PropertyIntTest, TextInAndOutFollowsDecimalScanningWithClamping) {
    BareEngine bare;
    std::int32_t value = 3;
    PropertyInt property(u"state", 0, &value);
    EXPECT_EQ(property.describe(), u"state:3");
    property.fromString(u" -12abc");
    EXPECT_EQ(value, -12);
    property.fromString(u"abc");
    EXPECT_EQ(value, -12);
    property.fromString(u"4294967296");
    EXPECT_EQ(value, INT_MAX);
}

}  // namespace
