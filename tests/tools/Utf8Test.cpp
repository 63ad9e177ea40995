#include <gtest/gtest.h>

#include "Utf8.h"

namespace {

using artbake::decodeUtf8;

// A lead byte whose sequence is broken off stands for itself, and what follows it is read
// afresh: no letter after it is lost.
TEST(Utf8Test, bytesThatFormNoSequencePassOneByOneBesideWholeSequences) {
    EXPECT_EQ(decodeUtf8("A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"), U"A\u00E9\u20AC\U0001F600");
    EXPECT_EQ(decodeUtf8("\xC3Hi"), U"\u00C3Hi");
    EXPECT_EQ(decodeUtf8("\xE2\x82Hi"), U"\u00E2\u0082Hi");
    EXPECT_EQ(decodeUtf8("\xF0\x9F\x98!"), U"\u00F0\u009F\u0098!");
    EXPECT_EQ(decodeUtf8("\x80\xF8Hi\xFF"), U"\u0080\u00F8Hi\u00FF");
    // Cut off by the end, a sequence keeps the bits it has.
    EXPECT_EQ(decodeUtf8("A\xE2\x82"), U"A\u0082");
}

}  // namespace
