#include <gtest/gtest.h>

#include "render/TgaCodec.h"

namespace {

std::vector<std::uint8_t> twoByOne() {
    const UColor pixels[2] = {0x11223344u, 0x55667788u};
    return TgaCodec::encode(2, 1, pixels);
}

TEST(TgaCodecTest, AnIdFieldAndAColourMapAreSkippedBeforeThePixels) {
    std::vector<std::uint8_t> file = twoByOne();
    // A 3-byte ID field and a two-entry 24-bit colour map between header and pixels.
    file[0] = 3;
    file[1] = 1;
    file[5] = 2;
    file[7] = 24;
    file.insert(file.begin() + TgaCodec::kHeaderBytes, 3 + 6, 0xEE);
    DecodedImage image;
    ASSERT_TRUE(TgaCodec::decode(file.data(), file.size(), false, image))
        << std::string(image.error.begin(), image.error.end());
    EXPECT_EQ(image.pixels[0], 0x11223344u);
    EXPECT_EQ(image.pixels[1], 0x55667788u);
    // The same file one byte short no longer holds its pixels.
    EXPECT_FALSE(TgaCodec::decode(file.data(), file.size() - 1, true, image));
    EXPECT_STREQ(image.errorFunction, "MemoryImageFile::loadTGA");
}

TEST(TgaCodecTest, RefusesWhatItCannotReadWithTheFormatsMessages) {
    const std::vector<std::uint8_t> good = twoByOne();
    DecodedImage image;
    EXPECT_FALSE(TgaCodec::decode(good.data(), 17, true, image));
    EXPECT_EQ(image.error.rfind(u"TGA is truncated", 0), 0u);
    const std::pair<int, std::uint8_t> damage[] = {{16, 24}, {17, 0x28}, {12, 0}};
    const char16_t* messages[] = {u"TGA depth is not 32 bits", u"TGA is flipped vertically.",
                                  u"TGA size 0x1 is out of range."};
    for (int i = 0; i < 3; ++i) {
        std::vector<std::uint8_t> file = good;
        file[damage[i].first] = damage[i].second;
        EXPECT_FALSE(TgaCodec::decode(file.data(), file.size(), false, image));
        EXPECT_EQ(image.error, messages[i]);
        EXPECT_EQ(image.pixels, nullptr);
    }
}

}  // namespace
