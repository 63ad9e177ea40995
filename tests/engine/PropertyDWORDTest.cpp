#include <gtest/gtest.h>

#include "engine/PropertyContainer.h"
#include "engine/PropertyDWORD.h"
#include "support/BareEngine.h"

namespace {

TEST(PropertyDWORDTest, WordsReadHexWithWrapAndSaturation) {
    BareEngine bare;
    std::uint32_t word = 0;
    PropertyContainer args(u"call", 0);
    PropertyDWORD* property = addPropertyDWORD(&word, &args, u"w");
    EXPECT_EQ(property->toString(), u"00000000");
    property->fromString(u"-1");
    EXPECT_EQ(word, 0xffffffffu);
    property->fromString(u"1");
    property->fromString(u"fffffffff0");
    EXPECT_EQ(word, 0xffffffffu);
    EXPECT_EQ(args.describe(), u"call(w:ffffffff)");
}

}  // namespace
