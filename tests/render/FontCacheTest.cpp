#include <gtest/gtest.h>

#include <vector>

#include "engine/Qor.h"
#include "render/FontCache.h"
#include "render/FontCacheEntry.h"
#include "render/FontQuad.h"
#include "render/FontTestEngine.h"
#include "render/ImageTexture.h"
#include "render/Quad.h"
#include "render/TestGlyphSheets.h"

namespace {
class FontCacheTest : public ::testing::Test {
protected:
    void TearDown() override {
        if (font) font->destroy();
        if (sheet) sheet->destroy();
    }
    // A bitmap font of 12-pixel sheets with its cache.
    FontQuad& makeFont() {
        sheet = makeGlyphSheet(u"cacheTex1", 12, 0, 256);
        font = new FontQuad();
        font->loadGlyphSheets(u"cacheTex");
        font->createCache();
        return *font;
    }
    // Fills one row from a bitmap font at frame `frame`.
    FontCacheEntry* textAt(FontCache& cache, int frame, const std::u16string& text) {
        qor->frameCounter = frame;
        return cache.addTextFromFontQuad(*font, text);
    }

    FontTestEngine engine;
    FontQuad* font = nullptr;
    ImageTexture* sheet = nullptr;
};
}  // namespace

TEST_F(FontCacheTest, PagesAreCutIntoRowsAndNamedInOrder) {
    FontCache cache(13, 1, u"x");
    EXPECT_EQ(cache.countTextures(), 0);
    FontCacheEntry* first = cache.createCacheTexture();
    EXPECT_EQ(first, static_cast<FontCacheEntry*>(cache.entryList.firstChild));
    EXPECT_EQ(cache.countEntries(), 19);
    cache.createCacheTexture();
    auto* second = static_cast<ImageTexture*>(cache.textureList.lastChild);
    EXPECT_EQ(second->name, u"FontCacheTexx[1]");
    EXPECT_EQ(static_cast<ImageTexture*>(cache.textureList.firstChild)->name, u"FontCacheTexx[0]");
    // New pages are cleared to transparent white.
    EXPECT_EQ(second->pixel(0, 0), 0x00FFFFFFu);

    engine.engine.hq2x = 2;
    FontCache big(25, 0, u"y");
    big.createCacheTexture();
    EXPECT_EQ(big.textureSize, 512);
    EXPECT_EQ(big.countEntries(), 20);
    EXPECT_EQ(big.margin, 2);
    engine.engine.hq2x = 0;
}

TEST_F(FontCacheTest, RowsAreReusedOnlyAfterTheirLifetime) {
    FontQuad& f = makeFont();
    FontCache& cache = *f.pFontCache;
    EXPECT_EQ(engine.engine.pSettings->getInt(u"FontCache", u"cacheTTLframes"), 2);
    FontCacheEntry* first = textAt(cache, 10, u"first");
    // Every other row is free; a free row is always taken before a new page is made.
    for (int i = 1; i < cache.countEntries(); ++i) textAt(cache, 10, u"filler" + std::u16string(1, u'a' + i % 26));
    EXPECT_EQ(cache.countTextures(), 1);
    // Frame 11: the rows of frame 10 are too fresh, so a new page comes.
    qor->frameCounter = 11;
    FontCacheEntry* fresh = cache.getFreeEntry();
    EXPECT_NE(fresh, first);
    EXPECT_EQ(cache.countTextures(), 2);
    // Frame 12: the oldest first row is released and reused.
    qor->frameCounter = 12;
    EXPECT_EQ(cache.getFreeEntry(), first);
    EXPECT_EQ(first->text, u"");
    EXPECT_EQ(cache.findText(u"first"), nullptr);
}

TEST_F(FontCacheTest, ATextDrawnEveryFrameStays) {
    FontQuad& f = makeFont();
    FontCache& cache = *f.pFontCache;
    FontCacheEntry* kept = textAt(cache, 1, u"kept");
    for (int frame = 2; frame < 40; ++frame) {
        kept->lastUsedFrame = frame;  // what drawing it does
        textAt(cache, frame, u"other" + std::u16string(1, static_cast<char16_t>(u'A' + frame % 26)));
    }
    EXPECT_EQ(cache.findText(u"kept"), kept);
}

TEST_F(FontCacheTest, ALifetimeBelowOneFrameActsAsOne) {
    engine.engine.pSettings->setInt(u"FontCache", u"cacheTTLframes", 0);
    FontQuad& f = makeFont();
    FontCache& cache = *f.pFontCache;
    EXPECT_EQ(cache.cacheTTLframes, 0);
    // A text of several rows never takes its own first row.
    std::u16string longText(200, u'W');
    FontCacheEntry* e = textAt(cache, 5, longText);
    int rows = 0;
    for (FontCacheEntry* r = e; r; r = r->pNextLine) ++rows;
    EXPECT_GT(rows, 1);
    EXPECT_EQ(cache.findText(longText), e);
    EXPECT_EQ(engine.engine.pSettings->getInt(u"FontCache", u"cacheTTLframes"), 0);
}

TEST_F(FontCacheTest, ALongTextContinuesInFurtherRows) {
    FontQuad& f = makeFont();
    FontCache& cache = *f.pFontCache;
    std::u16string longText;
    for (int i = 0; i < 60; ++i) longText += u"ab";
    FontCacheEntry* e = textAt(cache, 3, longText);
    float width = 0.0f;
    int rows = 0;
    for (FontCacheEntry* r = e; r; r = r->pNextLine, ++rows) {
        EXPECT_EQ(r->bPrimaryLine, rows == 0 ? 1 : 0);
        EXPECT_EQ(r->text.empty(), rows != 0);
        EXPECT_LE(r->pQuad->width, 254.0f);
        width += r->pQuad->width;
    }
    EXPECT_GE(rows, 2);
    EXPECT_EQ(static_cast<int>(width), f.measureTextRaw(true, nullptr, 0, longText).width);
}

TEST_F(FontCacheTest, DeviceLossAndPurgeEmptyTheCache) {
    FontQuad& f = makeFont();
    FontCache& cache = *f.pFontCache;
    textAt(cache, 1, u"lost");
    cache.onQORmodeChange(Qor::MODE_OK, Qor::MODE_PAUSED);
    EXPECT_EQ(cache.countTextures(), 1);
    cache.onQORmodeChange(Qor::MODE_PAUSED, Qor::MODE_FROZEN);
    EXPECT_EQ(cache.countTextures(), 0);
    EXPECT_EQ(cache.countEntries(), 0);
    EXPECT_EQ(cache.findText(u"lost"), nullptr);
    textAt(cache, 2, u"again");
    cache.purge();
    EXPECT_EQ(cache.countEntries(), 0);
}

TEST_F(FontCacheTest, BitmapsAreStoredInSlices) {
    FontCache cache(21, 1, u"gdi");
    const int w = 300, h = 20;
    std::vector<std::uint32_t> bitmap(static_cast<std::size_t>(w) * h, 0x00FFFFFFu);
    bitmap[5 * w + 10] = 0x80FFFFFFu;   // a half-covered pixel in the first slice
    bitmap[5 * w + 280] = 0xFF161F3Au;  // an ink one in the second
    FontCacheEntry* e = cache.addTextFromBitmap(bitmap.data(), u"wide", w, h);
    ASSERT_NE(e->pNextLine, nullptr);
    EXPECT_EQ(e->pNextLine->pNextLine, nullptr);
    EXPECT_EQ(e->pQuad->width, 254.0f);
    EXPECT_EQ(e->pNextLine->pQuad->width, 46.0f);
    auto* page = static_cast<ImageTexture*>(cache.textureList.firstChild);
    EXPECT_EQ(page->row(5)[1 + 10], 0x80FFFFFFu);
    const Rect& second = e->pNextLine->cacheBounds;
    EXPECT_EQ(page->row(second.top + 5)[1 + 280 - 254], 0xFF161F3Au);
    EXPECT_EQ(page->row(5)[0], 0x00FFFFFFu);
}

// A row taller than the usual page (a fallback face rasterised for a large window) gets
// pages doubled until one holds it, sliced as wide as such a page's row; rows that fit
// the usual page keep it. Without a device the simulated limit bounds the pages.
TEST_F(FontCacheTest, APageGrowsToHoldARowTallerThanTheUsualPage) {
    EXPECT_EQ(FontCache::largestPage(), 512);
    EXPECT_EQ(FontCache(256, 1, u"fits").textureSize, 256);

    FontCache cache(259, 1, u"tall");
    EXPECT_EQ(cache.textureSize, 512);
    EXPECT_EQ(cache.lineWidth, 510);
    const int w = 700, h = 258;
    std::vector<std::uint32_t> bitmap(static_cast<std::size_t>(w) * h, 0x00FFFFFFu);
    bitmap[static_cast<std::size_t>(h - 1) * w + 600] = 0xFFFFFFFFu;  // bottom row, second slice
    FontCacheEntry* e = cache.addTextFromBitmap(bitmap.data(), u"tall", w, h);
    ASSERT_NE(e, nullptr);
    ASSERT_NE(e->pNextLine, nullptr);
    EXPECT_EQ(e->pQuad->width, 510.0f);
    EXPECT_EQ(e->pNextLine->pQuad->width, 190.0f);
    EXPECT_EQ(cache.countTextures(), 2) << "one row a page";
    auto* second = static_cast<ImageTexture*>(cache.textureList.lastChild);
    EXPECT_EQ(second->imageWidth(), 512);
    EXPECT_EQ(second->row(h - 1)[1 + 600 - 510], 0xFFFFFFFFu);
    EXPECT_EQ(cache.findText(u"tall"), e);

    engine.engine.hq2x = 2;
    EXPECT_EQ(FontCache::largestPage(), 1024);
    FontCache doubled(600, 0, u"hq");
    EXPECT_EQ(doubled.textureSize, 1024);
    EXPECT_EQ(doubled.margin, 2);
    EXPECT_EQ(doubled.lineWidth, 1020);
    EXPECT_NE(doubled.createCacheTexture(), nullptr);
    EXPECT_EQ(doubled.countEntries(), 1);
    engine.engine.hq2x = 0;
}
