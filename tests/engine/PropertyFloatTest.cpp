#include <gtest/gtest.h>

#include <cmath>

#include "engine/PropertyFloat.h"
#include "support/BareEngine.h"

namespace {

TEST(PropertyFloatTest, FloatsShowTheirWidenedValueAndNeverOverflowFromText) {
    BareEngine bare;
    float value = 0.1f;
    PropertyFloat property(u"f", 0, &value);
    EXPECT_EQ(property.toString(), u"0.100000001");
    property.fromString(u"1e300");
    EXPECT_TRUE(std::isinf(value) && value > 0);
    property.fromString(u"-1e300");
    EXPECT_TRUE(std::isinf(value) && value < 0);
    property.fromString(u"0.25");
    EXPECT_EQ(value, 0.25f);
    property.fromString(u"nothing");
    EXPECT_EQ(value, 0.25f);
}

}  // namespace
