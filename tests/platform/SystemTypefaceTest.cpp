#include <gtest/gtest.h>

#include <vector>

#include "platform/SystemTypeface.h"

TEST(SystemTypefaceTest, DesktopFacesResolveToTheirMetricCompatibleFreeFaces) {
    auto arial = SystemTypeface::open("Arial", 12);
    ASSERT_NE(arial, nullptr);
    EXPECT_EQ(arial->familyName(), "Liberation Sans");
    auto comic = SystemTypeface::open("Comic Sans MS", 13);
    ASSERT_NE(comic, nullptr);
    EXPECT_EQ(comic->familyName(), "Comic Neue");
    EXPECT_EQ(SystemTypeface::open("Arial", 0), nullptr);
}

TEST(SystemTypefaceTest, TheCellHeightIsTheSizeAskedForAndExtentsAddAdvances) {
    for (int size : {12, 24, 40}) {
        auto face = SystemTypeface::open("Arial", size);
        ASSERT_NE(face, nullptr);
        EXPECT_EQ(face->cellHeight(), size);
        const auto ab = face->textExtent(u"AB");
        const auto a = face->textExtent(u"A");
        const auto b = face->textExtent(u"B");
        EXPECT_EQ(ab.height, size);
        // No kerning: a pair is the sum of its characters, "AV" included.
        EXPECT_EQ(ab.width, a.width + b.width);
        EXPECT_EQ(face->textExtent(u"AV").width, a.width + face->textExtent(u"V").width);
        EXPECT_EQ(face->textExtent(u"").width, 0);
    }
    // The metric-compatible face keeps the desktop face's widths: a 24-pixel cell is a
    // 21.5-pixel em, and "Hello" is 4667/2048 ems wide.
    auto face = SystemTypeface::open("Arial", 24);
    EXPECT_NEAR(face->textExtent(u"Hello").width, 49, 2);
}

TEST(SystemTypefaceTest, ABCWidthsSplitTheAdvance) {
    auto face = SystemTypeface::open("Arial", 40);
    SystemTypeface::ABC abc;
    ASSERT_TRUE(face->charABC(U'H', abc));
    EXPECT_GT(abc.a, 0);
    EXPECT_GT(abc.b, 0);
    EXPECT_EQ(abc.a + abc.b + abc.c, face->textExtent(u"H").width);
    // The italic-free 'j' hangs left of its pen position.
    ASSERT_TRUE(face->charABC(U'j', abc));
    EXPECT_LT(abc.a, 0);
    ASSERT_TRUE(face->charABC(U' ', abc));
    EXPECT_EQ(abc.b, 0);
}

TEST(SystemTypefaceTest, TextIsWhiteOnBlackFromTheTopOfItsCell) {
    auto face = SystemTypeface::open("Arial", 20);
    const auto extent = face->textExtent(u"Ty");
    const int w = extent.width + 10, h = 30;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(w) * h, 0x12345678u);
    face->drawText(u"Ty", 5, 0, pixels.data(), w, h);
    int ink = 0, top = h, bottom = -1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = pixels[static_cast<std::size_t>(y) * w + x];
            if (p == 0x12345678u) {
                // Outside the text's cell nothing is touched.
                EXPECT_TRUE(x < 5 || x >= 5 + extent.width || y >= extent.height) << x << "," << y;
                continue;
            }
            EXPECT_EQ(p >> 24, 0xFFu);
            const std::uint32_t g = p & 0xFF;
            EXPECT_EQ((p >> 8) & 0xFF, g);
            EXPECT_EQ((p >> 16) & 0xFF, g);
            if (g > 128) {
                ++ink;
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    EXPECT_GT(ink, 20);
    // Capitals start a few pixels below the cell's top; the descender stays inside it.
    EXPECT_GE(top, 1);
    EXPECT_LE(top, 6);
    EXPECT_LT(bottom, extent.height);
    // Drawing partly outside the bitmap is clipped.
    face->drawText(u"Ty", -8, -5, pixels.data(), w, h);
    face->drawText(u"Ty", w - 3, h - 3, pixels.data(), w, h);
}

TEST(SystemTypefaceTest, SurrogatePairsAreOneCharacter) {
    auto face = SystemTypeface::open("Arial", 16);
    const std::u16string pair = u"\U0001F600";
    EXPECT_EQ(pair.size(), 2u);
    const auto one = face->textExtent(pair);
    SystemTypeface::ABC abc;
    face->charABC(U'\U0001F600', abc);
    EXPECT_EQ(one.width, face->textExtent(u"\U0001F600").width);
    EXPECT_LE(one.width, 2 * face->cellHeight());
}
