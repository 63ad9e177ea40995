#include <gtest/gtest.h>

#include "render/JpegCodec.h"

namespace {

std::vector<std::uint8_t> encodeGradient(int width, int height) {
    std::vector<UColor> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels.push_back(0xFF000000u | (x * 8u) << 16 | (y * 8u) << 8 | 0x40u);
    std::vector<std::uint8_t> bytes;
    std::u16string error;
    EXPECT_TRUE(JpegCodec::encode(width, height, pixels.data(), 90, bytes, error));
    return bytes;
}

TEST(JpegCodecTest, SizeOnlyReadsTheHeaderAndFullReadsDecodeEveryRow) {
    const std::vector<std::uint8_t> file = encodeGradient(30, 20);
    DecodedImage header;
    ASSERT_TRUE(JpegCodec::decode(file.data(), file.size(), true, header));
    EXPECT_EQ(header.width, 30);
    EXPECT_EQ(header.height, 20);
    EXPECT_EQ(header.pixels, nullptr);
    DecodedImage image;
    ASSERT_TRUE(JpegCodec::decode(file.data(), file.size(), false, image));
    EXPECT_EQ(image.bHasAlpha, 0);
    EXPECT_NEAR(static_cast<int>((image.pixels[19 * 30 + 29] >> 16) & 0xFF), 232, 12);
    EXPECT_NEAR(static_cast<int>((image.pixels[19 * 30 + 29] >> 8) & 0xFF), 152, 12);
}

TEST(JpegCodecTest, ASkipPastTheEndStopsAtTheEndInsteadOfReadingBeyondIt) {
    // Start of image, then an application segment claiming 65533 bytes that the file
    // does not have: libjpeg skips it through the source.
    const std::vector<std::uint8_t> file = {0xFF, 0xD8, 0xFF, 0xE5, 0xFF, 0xFF, 1, 2, 3, 4};
    DecodedImage image;
    EXPECT_FALSE(JpegCodec::decode(file.data(), file.size(), false, image));
    EXPECT_STREQ(image.errorFunction, "kb_fill_input_buffer");
    EXPECT_EQ(image.error, u"Should not ever be called.");
}

TEST(JpegCodecTest, LibjpegErrorsComeBackAsRefusals) {
    const std::vector<std::uint8_t> notJpeg = {'B', 'M', 0, 0, 0, 0};
    DecodedImage image;
    EXPECT_FALSE(JpegCodec::decode(notJpeg.data(), notJpeg.size(), true, image));
    EXPECT_STREQ(image.errorFunction, "my_error_exit");
    EXPECT_NE(image.error.find(u"JPEG"), std::u16string::npos);
    std::vector<std::uint8_t> bytes;
    std::u16string error;
    EXPECT_FALSE(JpegCodec::encode(0, 5, nullptr, 60, bytes, error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(bytes.empty());
}

}  // namespace
