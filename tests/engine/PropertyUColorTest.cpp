#include <gtest/gtest.h>

#include "engine/PropertyUColor.h"
#include "support/BareEngine.h"

namespace {

TEST(PropertyUColorTest, ColoursAreEightHexDigitsAlphaFirst) {
    BareEngine bare;
    std::uint32_t colour = 0xFFFF0000u;
    PropertyUColor property(u"color", 0, &colour);
    EXPECT_EQ(property.describe(), u"color:ffff0000");
    colour = 0xff;
    EXPECT_EQ(property.toString(), u"000000ff");
    property.fromString(u"0x80FF00FF");
    EXPECT_EQ(colour, 0x80ff00ffu);
    property.fromString(u"red");
    EXPECT_EQ(colour, 0x80ff00ffu);
}

}  // namespace
