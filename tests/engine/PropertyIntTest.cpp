#include <gtest/gtest.h>

#include <climits>

#include "support/BareEngine.h"
#include "engine/PropertyContainer.h"
#include "engine/PropertyInt.h"

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

TEST(PropertyIntTest, RemoteCallArgumentsAreAppendedWithoutFlags) {
    BareEngine bare;
    std::int32_t a = 1;
    PropertyContainer container(u"args", 0);
    PropertyInt* added = addPropertyInt(&a, &container, u"");
    EXPECT_EQ(added->flags, 0u);
    EXPECT_EQ(container.describe(), u"args(:1)");
}

}  // namespace
