#include <gtest/gtest.h>

#include "engine/PropertyContainer.h"
#include "engine/PropertyDouble.h"
#include "net/Packet.h"
#include "support/BareEngine.h"

namespace {

TEST(PropertyDoubleTest, TrailingZerosGoButOneDigitStaysAfterThePoint) {
    BareEngine bare;
    double value = 1.5;
    PropertyDouble property(u"t", 0, &value);
    EXPECT_EQ(property.toString(), u"1.5");
    value = 2.0;
    EXPECT_EQ(property.toString(), u"2.0");
    value = 0.0;
    EXPECT_EQ(property.describe(), u"t:0.0");
    value = -1234.000000001;
    EXPECT_EQ(property.toString(), u"-1234.000000001");
    PropertyContainer args(u"", 0);
    EXPECT_EQ(addPropertyDouble(&value, &args, u"x")->flags, Property::kHalfFloat);
}

}  // namespace

TEST(PropertyDoubleTest, TheWireNarrowsTheFieldToSinglePrecision) {
    BareEngine bare;
    for (std::uint32_t flags : {0u, 4u}) {
        double value = 0.1;
        PropertyDouble property(u"t", flags, &value);
        Packet p(0);
        property.serialize(p);
        EXPECT_EQ(p.size(), flags ? 2u : 4u);
        EXPECT_EQ(value, static_cast<double>(0.1f));
        value = 7.0;
        p.startReading();
        property.serialize(p);
        EXPECT_EQ(value, flags ? static_cast<double>(0.0999755859375f) : static_cast<double>(0.1f));
    }
}
