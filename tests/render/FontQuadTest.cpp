#include <gtest/gtest.h>

#include "language/Language.h"
#include "render/EngineFixture.h"
#include "render/FontCache.h"
#include "render/FontCacheEntry.h"
#include "render/FontQuad.h"
#include "render/FontTestEngine.h"
#include "render/ImageTexture.h"
#include "render/MemoryImageFile.h"
#include "render/QorGraphics.h"
#include "render/Quad.h"
#include "render/ReferenceImage.h"
#include "render/TestGlyphSheets.h"
#include "render/TextScene.h"
#include "render/Texture.h"

namespace {
// A font built the way the loader builds one: sheets "testTex1" (positions 0 to 127)
// and "testTex2" (128 to 255).
class FontQuadTest : public ::testing::Test {
protected:
    void SetUp() override {
        makeGlyphSheet(u"testTex1", 14, 0, 128);
        makeGlyphSheet(u"testTex2", 14, 128, 128);
        font = new FontQuad();
        font->defaultWidth = 5;
        font->spacing = 1;
        font->fontUppercaseLineRaw = 3;
        font->fontLowercaseLineRaw = 5;
        font->loadGlyphSheets(u"testTex");
    }
    void TearDown() override {
        font->destroy();
        for (const char16_t* n : {u"testTex1", u"testTex2"}) qor->pResourceManager->find(true, n)->destroy();
    }
    int widthOf(char16_t c) { return static_cast<int>(font->getSymbol(c).pBaseQuad->width); }

    FontTestEngine engine;
    FontQuad* font = nullptr;
};
}  // namespace

TEST_F(FontQuadTest, SheetsFillTheCodePageInOrderAndLeaveTheSpaceEmpty) {
    EXPECT_EQ(font->fontName, u"testTex");
    EXPECT_EQ(font->nextSymbolToLoad, 256);
    EXPECT_EQ(font->fontHeightRaw, 14);
    EXPECT_EQ(font->getSymbol(u' ').pBaseQuad, nullptr);
    ASSERT_NE(font->getSymbol(u'A').pBaseQuad, nullptr);
    // Position 0x80 of code page 1252 is the euro sign.
    EXPECT_NE(font->getSymbol(u'\u20AC').pBaseQuad, nullptr);
    EXPECT_EQ(font->getSymbol(u'\u0080').pBaseQuad, nullptr);
    EXPECT_EQ(font->getSymbol(u'A').spacing, 1);
}

TEST_F(FontQuadTest, MeasuringAddsWidthsAndSpacings) {
    const int a = widthOf(u'A'), b = widthOf(u'B');
    EXPECT_EQ(font->measureTextRaw(false, nullptr, 0, u"AB").width, a + 1 + b);
    EXPECT_EQ(font->measureTextRaw(true, nullptr, 0, u"AB").width, a + 1 + b + 1);
    // No glyph: the default width, and the record's spacing, which stays 0.
    EXPECT_EQ(font->measureTextRaw(true, nullptr, 0, u" ").width, 5);
    const TextSize empty = font->measureTextRaw(false, nullptr, 0, u"");
    EXPECT_EQ(empty.width, 0);
    EXPECT_EQ(empty.height, 14);

    int index = a + 2;  // an x inside the B
    TextSize before = font->measureTextRaw(false, &index, 0, u"ABC");
    EXPECT_EQ(index, 1);
    EXPECT_EQ(before.width, a + 1);
    index = 1000;
    TextSize all = font->measureTextRaw(false, &index, 0, u"ABC");
    EXPECT_EQ(index, 3);
    EXPECT_EQ(all.width, font->measureTextRaw(false, nullptr, 0, u"ABC").width);
}

TEST_F(FontQuadTest, MarkedTextsMeasureWithoutTheirColours) {
    const std::u16string marked = std::u16string(u"AB") + u'\u001E' + u"FFFF0000" + u"CD";
    const TextSize m = font->measureMarkedText(marked);
    EXPECT_EQ(m.width, font->measureTextRaw(true, nullptr, 0, u"AB").width +
                           font->measureTextRaw(true, nullptr, 0, u"CD").width);
    EXPECT_EQ(m.height, 14);
    // A marker too close to the end ends the text.
    const std::u16string cut = std::u16string(u"AB") + u'\u001E' + u"FFF";
    EXPECT_EQ(font->measureMarkedText(cut).width, font->measureTextRaw(true, nullptr, 0, u"AB").width);
}

TEST_F(FontQuadTest, CompositeLettersPutTheirAccentAboveTheBase) {
    font->setupCompositeChars();
    const FontSymbol& aGrave = font->getSymbol(u'\u00C0');
    const FontSymbol& a = font->getSymbol(u'A');
    const FontSymbol& grave = font->getSymbol(u'`');
    EXPECT_EQ(aGrave.pBaseQuad, a.pBaseQuad);
    EXPECT_EQ(aGrave.pAccentQuad, grave.pBaseQuad);
    EXPECT_EQ(aGrave.accentX, static_cast<int>((a.pBaseQuad->width + 1 - grave.pBaseQuad->width) * 0.5f));
    EXPECT_EQ(aGrave.accentY, static_cast<int>(grave.pBaseQuad->height - 3 + 1));
    // Small letters use the lower line; the cedilla hangs at 0.
    EXPECT_EQ(font->getSymbol(u'\u00E0').accentY, static_cast<int>(grave.pBaseQuad->height - 5 + 1));
    EXPECT_EQ(font->getSymbol(u'\u00C7').accentY, 0);
    // The dotless i of the sheet carries the small i's accents.
    EXPECT_EQ(font->getSymbol(u'\u00EC').pBaseQuad, font->getSymbol(u'\u007F').pBaseQuad);
}

TEST_F(FontQuadTest, ACompositeWithoutItsBaseGlyphIsLeftOut) {
    const FontSymbol before = font->getSymbol(u'\u0100');
    font->setCompositeChar(u'\u0100', u'\u4E00', u'`', FontQuad::kAutomaticAccentY);
    EXPECT_EQ(font->getSymbol(u'\u0100').pBaseQuad, before.pBaseQuad);
    EXPECT_EQ(font->getSymbol(u'\u0100').pAccentQuad, nullptr);
}

TEST_F(FontQuadTest, TheCacheIsNamedAfterTheFontAndItsHeight) {
    font->createCache();
    ASSERT_NE(font->pFontCache, nullptr);
    EXPECT_EQ(font->pFontCache->cacheName, u"testTex14px");
    EXPECT_EQ(font->pFontCache->rowHeight, 15);
    EXPECT_EQ(font->fontBaselineRaw, 14);
    EXPECT_EQ(font->fontHeight, 14);
    FontCacheEntry* e = font->findOrCacheText(u"Hello");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->text, u"Hello");
    EXPECT_EQ(font->findOrCacheText(u"Hello"), e);
    // The row's quad is as wide as the text with every spacing but the last.
    EXPECT_EQ(static_cast<int>(e->pQuad->width), font->measureTextRaw(true, nullptr, 0, u"Hello").width);
}

TEST_F(FontQuadTest, TheFallbackFontTakesItsHeightFromTheFont) {
    font->createCache();
    FontGDI* fallback = font->getFallbackFont();
    EXPECT_EQ(fallback, font->getFallbackFont());
    EXPECT_EQ(fallback->height, 14);
    EXPECT_EQ(fallback->fontHeightRaw, 14);  // height / y scale, the x scale being 0.75
    int index = 3;
    const TextSizeF viaFallback = font->measureText(false, &index, 0x200, u"Hello");
    EXPECT_EQ(index, 5);
    EXPECT_FLOAT_EQ(viaFallback.width, fallback->measureText(u"Hello").width);
}

TEST(FontQuadDeathTest, SheetsThatDoNotFitTheirTableAreFatal) {
    EXPECT_DEATH(
        {
            FontTestEngine engine;
            makeGlyphSheet(u"extraTex1", 12, 0, 16);
            FontQuad font;
            font.addSourceTexture(static_cast<ImageTexture*>(qor->pResourceManager->find(true, u"extraTex1")), 256,
                                  false);
        },
        "nextSymbolToLoad");
    EXPECT_DEATH(
        {
            FontTestEngine engine;
            auto* sheet = makeGlyphSheet(u"twiceTex1", 12, 65, 2);
            FontQuad font;
            font.addSourceTexture(sheet, 65, false);
            font.addSourceTexture(sheet, 65, false);
        },
        "sym->pBaseQuad == NULL");
}

namespace {
// Texts drawn by a bitmap font made from 28-pixel test sheets: alignment flags, a shadow, composite letters, two
// colours placed by the marked measurement, the cache, and the fallback typeface.
class FontQuadPictureTest : public EngineFixture {
protected:
    std::string settingsText() const override { return kTextPictureSettings; }
};
}  // namespace

TEST_F(FontQuadPictureTest, AlignmentShadowsCompositesColoursAndFallback) {
    qor->pLanguage->setLanguage(0);
    makeGlyphSheet(u"picTex1", 28, 0, 128);
    makeGlyphSheet(u"picTex2", 28, 128, 128);
    auto* font = new FontQuad();
    font->spacing = 1;
    font->fontUppercaseLineRaw = 5;  // where the face's capitals and small letters start
    font->fontLowercaseLineRaw = 10;
    font->loadGlyphSheets(u"picTex");
    font->setupCompositeChars();
    font->createCache();
    qor->pQorGraphics->bHighDetail = 1;
    auto* scene = new TextScene([font] {
        font->drawTextAt(-395.0f, 235.0f, 0.0f, 0xFFFFFFFFu, 0, u"Left top");
        font->drawTextAt(-5.0f, 235.0f, 0.0f, 0xFFFFFF00u, 0x08, u"Right");
        font->drawTextAt(-200.0f, 185.0f, 0.0f, 0xFF00FFFFu, 0x04 | 0x10, u"Centred");
        font->drawTextWithShadowAt(-395.0f, 140.0f, 0.0f, 0xFFFFFFFFu, 0x80, 3.0f, -3.0f, 0.0f, 0xFF0000FFu, u"Shadow");
        font->drawTextAt(-200.0f, 125.0f, 0.0f, 0xFFFFFFFFu, 0x100, u"\u00C0\u00C9\u00CE\u00D5\u00DC \u00E7\u00F1");
        const std::u16string marked = std::u16string(u"Red ") + u'\u001E' + u"FF0000FF" + u"Blue";
        const int redWidth = font->measureMarkedText(u"Red ").width;
        EXPECT_EQ(font->measureMarkedText(marked).width, redWidth + font->measureMarkedText(u"Blue").width);
        font->drawTextAt(-395.0f, 75.0f, 0.0f, 0xFFFF0000u, 0, u"Red ");
        font->drawTextAt(-395.0f + static_cast<float>(redWidth), 75.0f, 0.0f, 0xFF0000FFu, 0, u"Blue");
        font->drawTextAt(-5.0f, 75.0f, 0.0f, 0xFF00FF00u, 0x08 | 0x200, u"Fallback");
        font->drawTextAt(-200.0f, 5.0f, 0.0f, 0xFFFFFFFFu, 0x04 | 0x20, u"Bottom centre, cached");
    });
    runFrame(scene);
    runFrame(scene);  // the second frame draws the cached rows
    EXPECT_NE(font->pFontCache->findText(u"Bottom centre, cached"), nullptr);
    int w = 0, h = 0;
    const std::vector<std::uint32_t> whole = backBuffer(w, h);
    const std::vector<std::uint32_t> pixels = topLeftQuarter(whole, w, h);
    EXPECT_TRUE(ReferenceImage::matches("font-quad-texts", pixels, w / 2, h / 2, 24, 60));
    scene->destroy();
    font->destroy();
    for (const char16_t* n : {u"picTex1", u"picTex2"}) qor->pResourceManager->find(true, n)->destroy();
}

TEST_F(FontQuadPictureTest, CachedAndGlyphByGlyphDrawingLookTheSame) {
    qor->pLanguage->setLanguage(0);
    makeGlyphSheet(u"sameTex1", 28, 0, 256);
    auto* font = new FontQuad();
    font->loadGlyphSheets(u"sameTex");
    font->createCache();
    int flags = 0;
    auto* scene = new TextScene([&] { font->drawTextAt(-390.0f, 150.0f, 0.0f, 0xFFFFFFFFu, flags, u"Same pixels?"); });
    int w = 0, h = 0;
    runFrame(scene);
    const std::vector<std::uint32_t> cached = backBuffer(w, h);
    flags = 0x100;
    runFrame(scene);
    const std::vector<std::uint32_t> glyphs = backBuffer(w, h);
    int differing = 0;
    for (std::size_t i = 0; i < cached.size(); ++i)
        for (int shift = 0; shift < 24; shift += 8)
            if (std::abs(static_cast<int>((cached[i] >> shift) & 255) - static_cast<int>((glyphs[i] >> shift) & 255)) >
                40) {
                ++differing;
                break;
            }
    EXPECT_LT(differing, 20);
    scene->destroy();
    font->destroy();
    qor->pResourceManager->find(true, u"sameTex1")->destroy();
}

TEST(FontQuadSheetTest, APlainTextureWithItsSkinsIsASheetToo) {
    FontTestEngine engine;
    auto* sheet = new Texture(8, 12, Texture::kKeepCopy);
    sheet->getSavedSourceData()->at(3, 4) = 0xFFFFFFFFu;
    FontQuad font;
    font.addSourceTexture(sheet, 65, true);
    ASSERT_NE(font.getSymbol(u'A').pBaseQuad, nullptr);
    EXPECT_EQ(font.fontHeightRaw, 12);
    font.createCache();
    FontCacheEntry* row = font.findOrCacheText(u"AAAA");
    auto* page = static_cast<ImageTexture*>(font.pFontCache->textureList.firstChild);
    // The glyph's pixels were copied from the texture's kept image into the row.
    EXPECT_EQ(page->pixel(row->cacheBounds.left + 1 + 3, row->cacheBounds.top + 4), 0xFFFFFFFFu);
    EXPECT_EQ(page->pixel(row->cacheBounds.left + 1 + 9 + 3, row->cacheBounds.top + 4), 0xFFFFFFFFu);
    font.pFontCache->destroy();
    font.pFontCache = nullptr;
    sheet->destroy();
}
