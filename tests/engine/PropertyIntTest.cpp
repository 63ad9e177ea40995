#include <gtest/gtest.h>

#include <climits>

#include "engine/PropertyInt.h"
#include "net/Packet.h"
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

TEST(PropertyIntTest, TheUnsignedFlagChoosesTheEncoding) {
    BareEngine bare;
    std::int32_t value = 300;
    PropertyInt plain(u"n", 0, &value), unsignedOne(u"n", 0x40, &value);
    Packet p(0);
    unsignedOne.serialize(p);
    plain.serialize(p);
    EXPECT_EQ(p.bytes(), (std::vector<std::uint8_t>{0xAC, 0x02, 0xAC, 0x04}));
    value = 0;
    p.startReading();
    unsignedOne.serialize(p);
    EXPECT_EQ(value, 300);
    value = 0;
    plain.serialize(p);
    EXPECT_EQ(value, 300);
}
