#include <gtest/gtest.h>

#include <string>

#include "engine/Md5.h"

namespace {

std::string hex(const std::uint8_t d[16]) {
    static const char digits[] = "0123456789abcdef";
    std::string s;
    for (int i = 0; i < 16; ++i) s += {digits[d[i] >> 4], digits[d[i] & 15]};
    return s;
}

std::string md5Of(const std::string& text) {
    std::uint8_t d[16];
    md5Buffer(d, text.data(), static_cast<int>(text.size()));
    return hex(d);
}

TEST(Md5Test, TheReferenceSuiteGivesItsDigests) {
    EXPECT_EQ(md5Of(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(md5Of("a"), "0cc175b9c0f1b6a831c399e269772661");
    EXPECT_EQ(md5Of("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(md5Of("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
    EXPECT_EQ(md5Of("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
    EXPECT_EQ(md5Of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              "d174ab98d277d9f5a5611c2c9f419d9f");
    std::string digits;
    for (int i = 0; i < 8; ++i) digits += "1234567890";
    EXPECT_EQ(md5Of(digits), "57edf4a22be3c955ac49da2e2107b67a");
}

TEST(Md5Test, PiecewiseUpdatesAndKeysAgreeWithOneBuffer) {
    std::string text;
    for (int i = 0; i < 1000; ++i) text += static_cast<char>(i * 7);
    Md5Context context;
    md5Init(context);
    std::size_t at = 0;
    for (int piece : {0, 1, 63, 64, 65, -5, 200, 607}) {
        md5Update(context, text.data() + at, piece);
        if (piece > 0) at += static_cast<std::size_t>(piece);
    }
    std::uint8_t pieces[16], whole[16], keyed[16];
    md5Final(pieces, context);
    md5Buffer(whole, text.data(), static_cast<int>(text.size()));
    EXPECT_TRUE(md5Equal(pieces, whole));
    md5Keyed(keyed, 0x04030201u, "abc", 3);
    EXPECT_EQ(hex(keyed), md5Of(std::string("\x01\x02\x03\x04") + "abc"));
}

}  // namespace
