#include <gtest/gtest.h>

#include "TextureWriter.h"

namespace {

using artbake::Image;
using artbake::SkinRect;
using artbake::TextureWriter;

TEST(TextureWriterTest, TgaIsUncompressed32BitWithRowsFromTheBottom) {
    Image image(3, 2);
    image.at(0, 0)[0] = 0x11;  // red of the top-left pixel
    image.at(0, 0)[3] = 0xFF;
    image.at(2, 1)[2] = 0x22;  // blue of the bottom-right pixel
    image.at(2, 1)[3] = 0x80;
    std::vector<uint8_t> tga = TextureWriter::encodeTga(image);
    ASSERT_EQ(tga.size(), 18u + 3 * 2 * 4);
    EXPECT_EQ(tga[2], 2);
    const std::vector<uint8_t> sizeAndFormat(tga.begin() + 12, tga.begin() + 18);
    EXPECT_EQ(sizeAndFormat, (std::vector<uint8_t>{3, 0, 2, 0, 32, 8}));
    // The bottom row comes first; pixels are stored blue, green, red, alpha.
    const uint8_t* bottomRight = &tga[18 + 2 * 4];
    EXPECT_EQ(bottomRight[0], 0x22);
    EXPECT_EQ(bottomRight[3], 0x80);
    const uint8_t* topLeft = &tga[18 + 3 * 4];
    EXPECT_EQ(topLeft[2], 0x11);
    EXPECT_EQ(topLeft[3], 0xFF);
}

TEST(TextureWriterTest, TgaRefusesSizesItsHeaderCannotHold) {
    EXPECT_THROW(TextureWriter::encodeTga(Image()), std::runtime_error);
}

TEST(TextureWriterTest, SkinFileNumbersItsSectionsFromZero) {
    std::string ini = TextureWriter::encodeSkinIni({{0, 0, 36, 36, 0, 0}, {36, 0, 10, 12, -4, 3}});
    EXPECT_EQ(ini,
              "[Skin 0]\nleft=0\ntop=0\nwidth=36\nheight=36\norigin_adjust_x=0\norigin_adjust_y=0\n\n"
              "[Skin 1]\nleft=36\ntop=0\nwidth=10\nheight=12\norigin_adjust_x=-4\norigin_adjust_y=3\n");
}

TEST(TextureWriterTest, PreloadRecordIsTwentyBytesPlusTwentyFourPerSkin) {
    Image image(100, 40);
    std::vector<uint8_t> record = TextureWriter::encodePreload(image, {{1, 2, 3, 4, -5, 6}});
    ASSERT_EQ(record.size(), 44u);
    auto s32 = [&](size_t at) {
        return static_cast<int32_t>(record[at] | record[at + 1] << 8 | record[at + 2] << 16 |
                                    static_cast<uint32_t>(record[at + 3]) << 24);
    };
    EXPECT_EQ(s32(0), 1);
    EXPECT_EQ(s32(4), 100);
    EXPECT_EQ(s32(8), 40);
    EXPECT_EQ(s32(12), 1);
    EXPECT_EQ(s32(16), 1);
    EXPECT_EQ(s32(20), 1);
    EXPECT_EQ(s32(32), 4);
    EXPECT_EQ(s32(36), -5);
    EXPECT_EQ(s32(40), 6);
    EXPECT_EQ(TextureWriter::encodePreload(image, {}).size(), 20u);
}

}  // namespace
