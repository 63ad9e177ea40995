#include <gtest/gtest.h>

#include "engine/MemoryIniFile.h"
#include "engine/Qor.h"
#include "render/SkinRecord.h"

namespace {

std::vector<std::uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

SkinRecord threeSkins() {
    SkinRecord r = SkinRecord::wholeImage(64, 32, 1);
    r.skins = {{0, 0, 10, 10, 0, 0}, {10, 0, 20, 32, 2, -3}, {30, 5, 34, 27, 0, 0}};
    return r;
}

TEST(SkinRecordTest, PreloadRecordsRoundTripWithTheExactLayout) {
    const SkinRecord r = threeSkins();
    const std::vector<std::uint8_t> bytes = r.encode();
    ASSERT_EQ(bytes.size(), 20u + 3 * 24u);
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[4], 64);
    EXPECT_EQ(bytes[12], 1);
    EXPECT_EQ(bytes[16], 3);
    EXPECT_EQ(bytes[20 + 24 + 16], 2);
    EXPECT_EQ(bytes[20 + 24 + 20], 0xFD);  // -3
    SkinRecord back;
    std::u16string why;
    ASSERT_TRUE(SkinRecord::parse(bytes.data(), bytes.size(), back, why));
    ASSERT_EQ(back.skins.size(), 3u);
    EXPECT_EQ(back.skins[1].originAdjustY, -3);
    EXPECT_EQ(back.skins[2].height, 27);
    // The alpha field's upper bytes are ignored when read.
    std::vector<std::uint8_t> noisy = bytes;
    noisy[13] = 0x7F;
    EXPECT_TRUE(SkinRecord::parse(noisy.data(), noisy.size(), back, why));
    EXPECT_EQ(back.alpha, 1);
}

TEST(SkinRecordTest, ACountThatDoesNotMatchTheRecordsSizeIsRefused) {
    std::vector<std::uint8_t> bytes = threeSkins().encode();
    SkinRecord out;
    std::u16string why;
    for (std::uint8_t count : {std::uint8_t{4}, std::uint8_t{2}}) {
        bytes[16] = count;
        EXPECT_FALSE(SkinRecord::parse(bytes.data(), bytes.size(), out, why));
    }
    bytes[16] = 0xFF, bytes[17] = 0xFF, bytes[18] = 0xFF, bytes[19] = 0x7F;  // a count near 2^31
    EXPECT_FALSE(SkinRecord::parse(bytes.data(), bytes.size(), out, why));
    EXPECT_NE(why.find(u"do not fill"), std::u16string::npos);
    EXPECT_FALSE(SkinRecord::parse(bytes.data(), 19, out, why));
}

TEST(SkinRecordTest, SkinsOutsideTheImageAndImpossibleImagesAreRefused) {
    SkinRecord r = threeSkins();
    r.skins[2].width = 35;  // one column past the right edge
    std::vector<std::uint8_t> bytes = r.encode();
    SkinRecord out;
    std::u16string why;
    EXPECT_FALSE(SkinRecord::parse(bytes.data(), bytes.size(), out, why));
    EXPECT_NE(why.find(u"skin 2"), std::u16string::npos);
    r = threeSkins();
    r.imageHeight = -32;
    bytes = r.encode();
    EXPECT_FALSE(SkinRecord::parse(bytes.data(), bytes.size(), out, why));
}

TEST(SkinRecordTest, SkinFilesAreReadSectionBySectionByNumber) {
    Qor engine(Qor::Headless{});
    MemoryIniFile ini(
        bytesOf("[Skin 1]\nleft=5\ntop=6\nwidth=7\nheight=8\n\n[Skin 0]\nleft=1\ntop=2\nwidth=3\n"
                "height=4\norigin_adjust_x=2\n"));
    const SkinRecord r = SkinRecord::fromIni(ini, 16, 16, 0);
    ASSERT_EQ(r.skins.size(), 2u);
    EXPECT_EQ(r.skins[0].left, 1);
    EXPECT_EQ(r.skins[0].originAdjustX, 2);
    EXPECT_EQ(r.skins[0].originAdjustY, 0);
    EXPECT_EQ(r.skins[1].height, 8);
    MemoryIniFile gap(bytesOf("[Skin 0]\nleft=1\ntop=2\nwidth=3\nheight=4\n[Skin 2]\nleft=1\n"));
    EXPECT_EXIT(SkinRecord::fromIni(gap, 16, 16, 0), testing::ExitedWithCode(255),
                "Key 'left' could not be found in section 'Skin 1'.");
}

}  // namespace
