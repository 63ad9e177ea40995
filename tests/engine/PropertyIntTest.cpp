#include <gtest/gtest.h>

#include "engine/PropertyInt.h"
#include "net/Packet.h"
#include "support/BareEngine.h"

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
