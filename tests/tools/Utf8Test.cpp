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
    // Broken off by the end, as by any other byte.
    EXPECT_EQ(decodeUtf8("A\xE2\x82"), U"A\u00E2\u0082");
    EXPECT_EQ(decodeUtf8("\xF0\x9F\x98"), U"\u00F0\u009F\u0098");
    EXPECT_EQ(decodeUtf8("\xC3"), U"\u00C3");
}

// An overlong form, a UTF-16 surrogate and a code point above U+10FFFF are no characters:
// each of their bytes stands for itself. The code points at each edge still decode.
TEST(Utf8Test, overlongFormsSurrogatesAndCodePointsBeyondUnicodePassByteByByte) {
    EXPECT_EQ(decodeUtf8("\xC0\xAF"), U"\u00C0\u00AF");
    EXPECT_EQ(decodeUtf8("\xC1\xBF"), U"\u00C1\u00BF");
    EXPECT_EQ(decodeUtf8("\xE0\x80\xAF"), U"\u00E0\u0080\u00AF");
    EXPECT_EQ(decodeUtf8("\xE0\x9F\xBF"), U"\u00E0\u009F\u00BF");
    EXPECT_EQ(decodeUtf8("\xF0\x80\x80\xAF"), U"\u00F0\u0080\u0080\u00AF");
    EXPECT_EQ(decodeUtf8("\xF0\x8F\xBF\xBF"), U"\u00F0\u008F\u00BF\u00BF");
    EXPECT_EQ(decodeUtf8("\xED\xA0\x80"), U"\u00ED\u00A0\u0080");
    EXPECT_EQ(decodeUtf8("\xED\xBF\xBF"), U"\u00ED\u00BF\u00BF");
    EXPECT_EQ(decodeUtf8("\xF4\x90\x80\x80"), U"\u00F4\u0090\u0080\u0080");
    EXPECT_EQ(decodeUtf8("\xF7\xBF\xBF\xBF!"), U"\u00F7\u00BF\u00BF\u00BF!");

    EXPECT_EQ(decodeUtf8("\xC2\x80\xDF\xBF"), U"\u0080\u07FF");
    EXPECT_EQ(decodeUtf8("\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xEF\xBF\xBF"), U"\u0800\uD7FF\uE000\uFFFF");
    EXPECT_EQ(decodeUtf8("\xF0\x90\x80\x80\xF4\x8F\xBF\xBF"), U"\U00010000\U0010FFFF");
}

}  // namespace
