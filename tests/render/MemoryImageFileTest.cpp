#include <gtest/gtest.h>

#include <set>

#include "render/BmpCodec.h"
#include "render/MemoryImageFile.h"
#include "render/TgaCodec.h"
#include "support/ImageTools.h"

namespace {

// The converter writes TGA rows in memory order and only labels the orientation; a
// flip first gives the standard bottom-up file.
constexpr const char* kToTga = "convert pic.pam -type TrueColorAlpha -depth 8 -flip -orient BottomLeft ";

void expectSamePixels(const MemoryImageFile& image, const TestPicture& picture) {
    ASSERT_EQ(image.width, picture.width);
    ASSERT_EQ(image.height, picture.height);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            ASSERT_EQ(image.at(x, y), picture.at(x, y)) << "pixel " << x << "," << y;
}

void fill(MemoryImageFile& image, const TestPicture& picture) {
    std::copy(picture.argb.begin(), picture.argb.end(), image.pImageData.get());
}

TEST(MemoryImageFileTest, ReadsTgaAndBmpFilesOfTheImageConverterPixelForPixel) {
    BareEngine bare;
    const TestPicture picture = makeTestPicture(7, 5, false);
    writeNetpbm("pic.pam", picture, true);
    ASSERT_TRUE(runTool(std::string(kToTga) + "pic.tga"));
    MemoryImageFile tga(0, u"pic.tga");
    EXPECT_EQ(tga.bHasAlpha, 1);
    expectSamePixels(tga, picture);

    const TestPicture opaque = makeTestPicture(7, 5, true);
    writeNetpbm("opaque.ppm", opaque, false);
    // Both the converter's own header version and the classic 40-byte one.
    ASSERT_TRUE(runTool("convert opaque.ppm -type TrueColor pic.bmp"));
    ASSERT_TRUE(runTool("convert opaque.ppm -type TrueColor BMP3:pic3.bmp"));
    for (const char16_t* name : {u"pic.bmp", u"pic3.bmp"}) {
        MemoryImageFile bmp(0, name);
        EXPECT_EQ(bmp.bHasAlpha, 0);
        expectSamePixels(bmp, opaque);
    }
}

TEST(MemoryImageFileTest, ReadsJpegFilesLikeLibjpegsOwnDecoder) {
    BareEngine bare;
    const TestPicture picture = makeTestPicture(33, 17, true);
    writeNetpbm("pic.ppm", picture, false);
    ASSERT_TRUE(runTool("cjpeg -quality 90 pic.ppm > pic.jpg && djpeg -ppm pic.jpg > reference.ppm"));
    MemoryImageFile jpg(0, u"pic.jpg");
    EXPECT_EQ(jpg.bHasAlpha, 0);
    expectSamePixels(jpg, readNetpbm("reference.ppm"));
    TestPicture decoded{jpg.width, jpg.height, {jpg.pImageData.get(), jpg.pImageData.get() + 33 * 17}};
    EXPECT_LE(largestDifference(decoded, picture), 40);
}

TEST(MemoryImageFileTest, WritersRoundTripThroughTheOtherToolsReaders) {
    BareEngine bare;
    const TestPicture picture = makeTestPicture(40, 24, false);
    MemoryImageFile image(40, 24);
    fill(image, picture);
    image.saveTGA(u"out.tga");
    image.saveBMP(u"out.bmp");
    image.saveJPG(100, u"out.jpg");
    ASSERT_TRUE(
        runTool("convert out.tga -auto-orient tga.pam && convert out.bmp bmp.ppm && djpeg -ppm out.jpg > "
                "jpg.ppm"));
    EXPECT_EQ(readNetpbm("tga.pam").argb, picture.argb);
    TestPicture opaque = picture;
    for (auto& c : opaque.argb) c |= 0xFF000000u;
    EXPECT_EQ(readNetpbm("bmp.ppm").argb, opaque.argb);
    EXPECT_LE(largestDifference(readNetpbm("jpg.ppm"), opaque), 24);
    // And through our own readers.
    expectSamePixels(MemoryImageFile(0, u"out.tga"), picture);
    expectSamePixels(MemoryImageFile(0, u"out.bmp"), opaque);
}

TEST(MemoryImageFileTest, SmallFilesHaveTheExactLayoutsOfTheirFormats) {
    BareEngine bare;
    MemoryImageFile image(3, 2);
    fill(image, makeTestPicture(3, 2, false));
    image.saveTGA(u"small.tga");
    image.saveBMP(u"small.bmp");
    const std::vector<std::uint8_t> tga = readBytes("small.tga");
    EXPECT_EQ(std::vector<std::uint8_t>(tga.begin() + 12, tga.begin() + 18),
              (std::vector<std::uint8_t>{0x03, 0x00, 0x02, 0x00, 0x20, 0x08}));
    const std::vector<std::uint8_t> bmp = readBytes("small.bmp");
    EXPECT_EQ(BmpCodec::stride(3), 12u);
    ASSERT_EQ(bmp.size(), 78u);
    EXPECT_EQ(bmp[2], 78);
    MemoryImageFile back(0, u"small.bmp");
    for (int i = 0; i < 6; ++i) EXPECT_EQ(back.pImageData[i] >> 24, 0xFFu);
}

TEST(MemoryImageFileTest, ABmpWiderThanTheOldRowBufferIsWrittenWhole) {
    BareEngine bare;
    const TestPicture picture = makeTestPicture(3001, 2, true);
    MemoryImageFile image(3001, 2);
    fill(image, picture);
    image.saveBMP(u"wide.bmp");
    EXPECT_EQ(readBytes("wide.bmp").size(), 54u + 2 * BmpCodec::stride(3001));
    expectSamePixels(MemoryImageFile(0, u"wide.bmp"), picture);
}

TEST(MemoryImageFileTest, TheFirstExtensionInTheNameChoosesTheDecoder) {
    BareEngine bare;
    MemoryImageFile image(2, 2);
    fill(image, makeTestPicture(2, 2, false));
    image.saveTGA(u"both.tga.jpg");
    MemoryImageFile read(0, u"both.tga.jpg");
    EXPECT_EQ(read.bHasAlpha, 1);
    writeText("upper.TGA", "x");
    EXPECT_EXIT(MemoryImageFile(0, u"upper.TGA"), testing::ExitedWithCode(255), "Unknown image format \\(upper.TGA\\)");
}

TEST(MemoryImageFileTest, SizeOnlyReadsAllocateNoPixelsExceptForBmp) {
    BareEngine bare;
    MemoryImageFile image(5, 3);
    image.saveTGA(u"a.tga");
    image.saveBMP(u"a.bmp");
    const std::int32_t before = imageFileBytes;
    MemoryImageFile tga(MemoryImageFile::kSizeOnly, u"a.tga");
    EXPECT_EQ(tga.width, 5);
    EXPECT_EQ(tga.height, 3);
    EXPECT_FALSE(tga.isResident());
    EXPECT_FALSE(tga.isLoaded());
    EXPECT_EQ(imageFileBytes, before);
    MemoryImageFile bmp(MemoryImageFile::kSizeOnly, u"a.bmp");
    EXPECT_TRUE(bmp.isResident());
}

TEST(MemoryImageFileTest, PurgeAndUnpurgeGiveTheSamePixelsAndCounts) {
    BareEngine bare;
    const TestPicture picture = makeTestPicture(6, 4, false);
    {
        MemoryImageFile image(6, 4);
        fill(image, picture);
        image.saveTGA(u"p.tga");
    }
    const std::int32_t before = imageFileBytes;
    const std::int32_t filesBefore = memoryFileBytes;
    MemoryImageFile image(0, u"p.tga");
    EXPECT_EQ(imageFileBytes, before + 96);
    EXPECT_EQ(memoryFileBytes, filesBefore);  // the file's bytes are gone once decoded
    image.purge();
    EXPECT_FALSE(image.isResident());
    EXPECT_EQ(image.width, 6);
    EXPECT_EQ(imageFileBytes, before);
    image.unpurge();
    EXPECT_EQ(imageFileBytes, before + 96);
    expectSamePixels(image, picture);
    // Device loss drops file-backed pixels, never a blank image's.
    MemoryImageFile blank(2, 2);
    image.onQORmodeChange(Qor::MODE_PAUSED, Qor::MODE_FROZEN);
    blank.onQORmodeChange(Qor::MODE_PAUSED, Qor::MODE_FROZEN);
    blank.purge();
    EXPECT_FALSE(image.isResident());
    EXPECT_TRUE(blank.isResident());
}

TEST(MemoryImageFileTest, DelayedImagesAreVerifiedAtOnceAndDecodedOnFirstUse) {
    BareEngine bare;
    bare.engine.bEnableDelayedLoad = true;
    MemoryImageFile(1, 1).saveTGA(u"late.tga");
    MemoryImageFile late(MemoryImageFile::kMayDelay, u"late.tga");
    EXPECT_FALSE(late.isResident());
    late.unpurge();
    EXPECT_TRUE(late.isResident());
    EXPECT_EXIT(MemoryImageFile(MemoryImageFile::kMayDelay, u"gone.tga"), testing::ExitedWithCode(255),
                "gone.tga verification failed");
}

TEST(MemoryImageFileTest, HalvingAveragesBlocksAndDropsTheOddEdge) {
    Qor engine(Qor::Headless{});
    MemoryImageFile image(5, 3);
    for (int i = 0; i < 15; ++i) image.pImageData[i] = 0x01010101u;
    image.at(1, 1) = 0x02020202u;  // the block of (0, 0) holds 1, 1, 1, 2
    image.at(3, 0) = 0xFF000000u;
    const std::int32_t before = imageFileBytes;
    image.halveSize();
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(image.height, 1);
    EXPECT_EQ(imageFileBytes, before - 60 + 8);
    EXPECT_EQ(image.at(0, 0), 0x01010101u);
    EXPECT_EQ(image.at(1, 0), 0x40000000u);  // (255 + 1 + 1 + 1) >> 2 in alpha, 3 >> 2 elsewhere
}

TEST(MemoryImageFileTest, ClearAndBlitWorkOnRectanglesAndRefuseOutsideSources) {
    Qor engine(Qor::Headless{});
    MemoryImageFile target(4, 4);
    target.clear(nullptr, true);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(target.pImageData[i], 0x00FFFFFFu);
    const Rect partial{1, 1, 9, 2};  // reaches below the image: only the part inside
    target.clear(&partial, false);
    EXPECT_EQ(target.at(1, 3), 0u);
    EXPECT_EQ(target.at(2, 1), 0x00FFFFFFu);
    MemoryImageFile source(3, 3);
    for (int i = 0; i < 9; ++i) source.pImageData[i] = 0xAB000000u + i;
    const Rect rect{1, 0, 2, 3};
    const Point at{2, 2};
    target.blit(&source, &rect, &at);
    EXPECT_EQ(target.at(2, 2), 0xAB000001u);
    EXPECT_EQ(target.at(3, 3), 0xAB000005u);
    const Rect outside{2, 0, 2, 4};
    EXPECT_EXIT(target.blit(&source, &outside, nullptr), testing::ExitedWithCode(255),
                "sourceRect->right <= sourceData->width");
    const Point tooFar{3, 0};
    EXPECT_EXIT(target.blit(&source, &rect, &tooFar), testing::ExitedWithCode(255),
                "destPoint->x \\+ sourceRect->width\\(\\) <= width");
}

TEST(MemoryImageFileTest, DitheringGreyMixesTheTwoNearestLevelsAndKeepsAlpha) {
    Qor engine(Qor::Headless{});
    MemoryImageFile image(16, 16);
    for (int i = 0; i < 256; ++i) image.pImageData[i] = 0x7F888888u;
    image.ditherDiffusion12bpp();
    std::set<UColor> channels;
    for (int i = 0; i < 256; ++i) {
        const UColor p = image.pImageData[i];
        EXPECT_EQ(p >> 24, 0x7Fu);
        for (int shift = 0; shift < 24; shift += 8) channels.insert((p >> shift) & 0xFF);
    }
    EXPECT_EQ(channels, (std::set<UColor>{0x80, 0x90}));
    MemoryImageFile fine(8, 8);
    for (int i = 0; i < 64; ++i) fine.pImageData[i] = 0xFF848484u;
    fine.ditherDiffusion15bpp();
    for (int i = 0; i < 64; ++i) EXPECT_EQ(fine.pImageData[i] & 0x070707u, 0u);
}

TEST(MemoryImageFileTest, BadFilesEndInTheirFormatErrors) {
    BareEngine bare;
    MemoryImageFile image(4, 4);
    image.saveTGA(u"good.tga");
    image.saveBMP(u"good.bmp");
    std::vector<std::uint8_t> tga = readBytes("good.tga");
    tga.resize(tga.size() - 1);
    writeBytes("short.tga", tga);
    EXPECT_EXIT(MemoryImageFile(0, u"short.tga"), testing::ExitedWithCode(255), "TGA is truncated");
    tga = readBytes("good.tga");
    tga[2] = 10;
    writeBytes("rle.tga", tga);
    EXPECT_EXIT(MemoryImageFile(0, u"rle.tga"), testing::ExitedWithCode(255), "TGA is compressed.");
    tga[2] = 2;
    tga[15] = 0x80;  // height -32764
    writeBytes("negative.tga", tga);
    EXPECT_EXIT(MemoryImageFile(0, u"negative.tga"), testing::ExitedWithCode(255), "out of range");
    std::vector<std::uint8_t> bmp = readBytes("good.bmp");
    bmp[22] = 0xFC, bmp[23] = 0xFF, bmp[24] = 0xFF, bmp[25] = 0xFF;  // height -4
    writeBytes("topdown.bmp", bmp);
    EXPECT_EXIT(MemoryImageFile(0, u"topdown.bmp"), testing::ExitedWithCode(255), "negative height");
    bmp[22] = 0x00, bmp[23] = 0x00, bmp[24] = 0x01, bmp[25] = 0x00;  // height 65536
    writeBytes("huge.bmp", bmp);
    EXPECT_EXIT(MemoryImageFile(0, u"huge.bmp"), testing::ExitedWithCode(255), "out of range");
    bmp[22] = 4, bmp[24] = 0, bmp[28] = 32;
    writeBytes("deep.bmp", bmp);
    EXPECT_EXIT(MemoryImageFile(0, u"deep.bmp"), testing::ExitedWithCode(255), "Only 24-bit BMPs are supported.");
}

TEST(MemoryImageFileTest, GreyscaleAndCmykJpegsAreRefused) {
    BareEngine bare;
    writeNetpbm("pic.ppm", makeTestPicture(8, 8, true), false);
    ASSERT_TRUE(runTool("cjpeg -grayscale pic.ppm > grey.jpg"));
    ASSERT_TRUE(runTool("convert pic.ppm -colorspace CMYK cmyk.jpg"));
    EXPECT_EXIT(MemoryImageFile(0, u"grey.jpg"), testing::ExitedWithCode(255), "Not implemented.");
    EXPECT_EXIT(MemoryImageFile(0, u"cmyk.jpg"), testing::ExitedWithCode(255), "4 colour components");
    std::vector<std::uint8_t> jpg = readBytes("grey.jpg");
    jpg.resize(jpg.size() / 2);
    writeBytes("half.jpg", jpg);
    EXPECT_EXIT(MemoryImageFile(0, u"half.jpg"), testing::ExitedWithCode(255), "Should not ever be called.");
}

}  // namespace
