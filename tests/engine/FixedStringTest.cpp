#include <gtest/gtest.h>

#include <cstring>

#include "engine/FixedString.h"

namespace {

std::string stored(const std::uint8_t* bytes) { return reinterpret_cast<const char*>(bytes); }

TEST(FixedStringTest, TextsAreCutAtWholeCharactersToFitWithTheirNul) {
    FixedString16 version;
    std::memset(version.bytes, 'z', sizeof version.bytes);
    version.assign(u"2.79");
    EXPECT_EQ(stored(version.bytes), "2.79");
    EXPECT_EQ(version.bytes[5], 'z');
    FixedString16 twenty;
    twenty.assign(u"abcdefghijklmnopqrst");
    EXPECT_EQ(stored(twenty.bytes), "abcdefghijklmno");
    FixedString16 wide;
    wide.assign(u"abcdefghijklmn\u00E9x");  // the 15th byte would be inside the e-acute
    EXPECT_EQ(stored(wide.bytes), "abcdefghijklmn");
    FixedString16 pair;
    pair.assign(u"abcdefghijklm\U0001F600");  // 13 + 4 bytes: the pair goes as a whole
    EXPECT_EQ(stored(pair.bytes), "abcdefghijklm");
    FixedString32 edition;
    edition.assign(u"Torvane2Xmas");
    EXPECT_EQ(stored(edition.bytes), "Torvane2Xmas");
}

}  // namespace
