#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/Qor.h"
#include "platform/GraphicsDevice.h"
#include "platform/SystemTypeface.h"
#include "render/EngineFixture.h"
#include "render/FontCache.h"
#include "render/FontCacheEntry.h"
#include "render/FontGDI.h"
#include "render/FontTestEngine.h"
#include "render/ImageTexture.h"
#include "render/QorGraphics.h"
#include "render/Quad.h"
#include "render/ReferenceImage.h"
#include "render/TextScene.h"
#include "support/TextInk.h"

TEST(FontGDITest, LineMetricsComeFromTheRawHeight) {
    FontTestEngine engine;
    FontGDI font(12, 1.0f, 1.0f, 1.0f, u"Arial");
    EXPECT_EQ(font.fontHeightRaw, 12);
    EXPECT_EQ(font.fontBaselineRaw, 9);
    EXPECT_EQ(font.fontUppercaseLineRaw, 2);
    EXPECT_EQ(font.fontLowercaseLineRaw, 4);
    EXPECT_EQ(font.pFontCache->rowHeight, 13);
    EXPECT_EQ(font.pFontCache->cacheName, u"Arial12px");
    // The fallback of a font 10 high: the raw height is the height over the y scale.
    FontGDI fallback(10, 0.75f, 1.0f, 1.0f, u"Comic Sans MS");
    EXPECT_EQ(fallback.fontHeightRaw, 10);
    EXPECT_EQ(fallback.fontBaselineRaw, 8);
    EXPECT_EQ(fallback.fontUppercaseLineRaw, 2);
    EXPECT_EQ(fallback.fontLowercaseLineRaw, 3);
    EXPECT_FLOAT_EQ(fallback.measureText(u"Hi").width, 0.75f * fallback.measureTextRaw(nullptr, nullptr, u"Hi").width);
}

TEST(FontGDITest, AtTextureScaleTwoTheFaceIsTwiceAsTallAndMeasuresHalve) {
    FontTestEngine engine;
    engine.engine.hq2x = 2;
    FontGDI font(12, 1.0f, 1.0f, 1.0f, u"Arial");
    EXPECT_EQ(font.fontHeightRaw, 12);
    EXPECT_EQ(font.pFontCache->rowHeight, 25);
    const TextSize raw = font.measureTextRaw(nullptr, nullptr, u"Hello");
    EXPECT_EQ(raw.height, 12);
    const auto face = SystemTypeface::open("Arial", 24);
    EXPECT_EQ(raw.width, (face->textExtent(u"Hello").width + 2) / 2);
}

TEST(FontGDITest, OverhangsWidenTheBitmap) {
    FontTestEngine engine;
    FontGDI font(40, 1.0f, 1.0f, 1.0f, u"Arial");
    const auto face = SystemTypeface::open("Arial", 40);
    SystemTypeface::ABC j;
    face->charABC(U'j', j);
    ASSERT_LT(j.a, 0);
    int lead = 0, trail = 0;
    const TextSize size = font.measureTextRaw(&lead, &trail, u"jH");
    EXPECT_EQ(lead, -j.a + 1);
    EXPECT_EQ(trail, 1);
    EXPECT_EQ(size.width, face->textExtent(u"jH").width - j.a + 2);
    const TextSize empty = font.measureTextRaw(nullptr, nullptr, u"");
    EXPECT_EQ(empty.width, 0);
    EXPECT_EQ(empty.height, 40);
}

TEST(FontGDITest, ATextIsRenderedOnceAndFoundAfterwards) {
    FontTestEngine engine;
    FontGDI font(12, 1.0f, 1.0f, 1.0f, u"Arial");
    FontCacheEntry* first = font.findOrCacheText(u"Score: 1200");
    ASSERT_NE(first, nullptr);
    const int rows = font.pFontCache->countEntries();
    EXPECT_EQ(font.findOrCacheText(u"Score: 1200"), first);
    EXPECT_EQ(font.pFontCache->countEntries(), rows);
    EXPECT_EQ(first->text, u"Score: 1200");
    EXPECT_EQ(static_cast<int>(first->pQuad->width), font.measureTextRaw(nullptr, nullptr, u"Score: 1200").width);
    EXPECT_EQ(font.renderText(u""), nullptr);
}

TEST(FontGDITest, AnOutlinedFontRingsItsWhiteLettersWithInk) {
    // Counts a cached text's opaque texels: white ones and dark (ink) ones.
    auto count = [](FontGDI& font, const std::u16string& text, int& white, int& ink) {
        FontCacheEntry* e = font.findOrCacheText(text);
        ASSERT_NE(e, nullptr);
        auto* page = static_cast<ImageTexture*>(font.pFontCache->textureList.firstChild);
        white = ink = 0;
        for (int y = e->cacheBounds.top; y < e->cacheBounds.bottom; ++y)
            for (int x = e->cacheBounds.left; x < e->cacheBounds.right; ++x) {
                const std::uint32_t t = page->row(y)[x];
                if (t >> 24 < 0xC0) continue;
                white += (t & 0xFFFFFFu) == 0xFFFFFFu;
                ink += ((t >> 8) & 0xFFu) < 0x50;
            }
    };
    FontTestEngine engine;
    FontGDI plain(20, 0.75f, 1.0f, 1.0f, u"Comic Sans MS");
    int white = 0, ink = 0;
    count(plain, u"Ann ...", white, ink);
    EXPECT_GT(white, 10);
    EXPECT_EQ(ink, 0);
    FontGDI outlined(20, 0.75f, 1.0f, 1.0f, u"Comic Sans MS");
    outlined.outline = 1;
    count(outlined, u"Ann ...", white, ink);
    EXPECT_GT(white, 10);
    EXPECT_GT(ink, white / 2);
}

TEST(FontGDIDeathTest, FaceNamesMustFitTheFontDescription) {
    FontTestEngine engine;
    FontGDI ok(12, 1.0f, 1.0f, 1.0f, std::u16string(30, u'A'));
    EXPECT_DEATH({ FontGDI tooLong(12, 1.0f, 1.0f, 1.0f, std::u16string(31, u'A')); }, "LF_FACESIZE");
}

namespace {
class FontGDIPictureTest : public EngineFixture {
protected:
    std::string settingsText() const override { return kTextPictureSettings; }
};
}  // namespace

TEST_F(FontGDIPictureTest, TheDefaultFontAlignsItsLines) {
    auto* font = new FontGDI(24, 1.0f, 1.0f, 1.0f, u"Arial");
    auto* scene = new TextScene([font] {
        font->drawTextAt(-395.0f, 235.0f, 0.0f, 0xFFFFFFFFu, 0, u"Top left jg");
        font->drawTextAt(-5.0f, 195.0f, 0.0f, 0xFFFFFF00u, 0x08, u"Right aligned");
        font->drawTextAt(-200.0f, 130.0f, 0.0f, 0xFF00FFFFu, 0x04 | 0x80, u"Centred on its baseline");
        font->drawTextAt(-395.0f, 80.0f, 0.0f, 0xFFFF8000u, 0x10, u"Middle");
        font->drawTextAt(-200.0f, 5.0f, 0.0f, 0xFFFFFFFFu, 0x04 | 0x20, u"Bottom \u00C0\u00E7\u00F1");
    });
    runFrame(scene);
    int w = 0, h = 0;
    const std::vector<std::uint32_t> whole = backBuffer(w, h);
    const std::vector<std::uint32_t> pixels = topLeftQuarter(whole, w, h);
    EXPECT_TRUE(ReferenceImage::matches("font-gdi-texts", pixels, w / 2, h / 2, 24, 60));
    // Drawing again finds every text in the cache.
    const int rows = font->pFontCache->countEntries();
    runFrame(scene);
    EXPECT_EQ(font->pFontCache->countEntries(), rows);
    scene->destroy();
    font->destroy();
}

namespace {
class FontGDIWindowTest : public EngineFixture {
protected:
    std::string settingsText() const override {
        return "[QorGraphics]\nbFullScreen=No\nvideoModeWidth=1000\nvideoModeHeight=600\n";
    }
};
}  // namespace

// On a window 600 pixels high over the 480-unit virtual screen, a font that follows the
// window rasterises at 1.25 texels per raw pixel, in the face's bold weight, and still
// measures in raw pixels; an ellipsis drawn there is white dots in a dark ring of ink, not
// a grey smudge.
TEST_F(FontGDIWindowTest, AFontThatFollowsTheWindowRastersAtTheWindowsPixels) {
    ASSERT_EQ(qor->graphics().viewportHeight, 600);
    auto* font = new FontGDI(20, 0.75f, 1.0f, 1.0f, u"Comic Sans MS");
    font->outline = 1;
    EXPECT_FLOAT_EQ(font->rasterScale, 1.0f);
    font->followWindow(true);
    EXPECT_FLOAT_EQ(font->rasterScale, 1.25f);
    EXPECT_EQ(font->pFontCache->rowHeight, 26);  // a cell of 25 texels and one spare row
    const TextSize raw = font->measureTextRaw(nullptr, nullptr, u"...");
    EXPECT_EQ(raw.height, 20);
    const auto bold = SystemTypeface::open("Comic Sans MS", 25, true);
    EXPECT_EQ(raw.width, static_cast<int>(std::ceil(static_cast<float>(bold->textExtent(u"...").width + 2) / 1.25f)));

    auto* scene = new TextScene([font] { font->drawTextAt(-390.0f, 230.0f, 0.0f, 0xFFFFFFFFu, 0, u"..."); });
    scene->clearColor = 0xFF7890A8u;
    runFrame(scene);
    int w = 0, h = 0;
    const std::vector<std::uint32_t> pixels = backBuffer(w, h);
    ASSERT_EQ(h, 600);
    int inkWidth = 0, darkest = 0;
    const std::vector<int> cores = whiteCores(pixels, w, 2, w / 2, 0, 60, inkWidth, darkest);
    std::printf("\"...\": %zu white cores, %d pixels across, darkest %d\n", cores.size(), inkWidth, darkest);
    EXPECT_GE(cores.size(), 2u);
    EXPECT_GE(inkWidth, 7);
    EXPECT_LE(darkest, 0x70);

    // A window of the virtual screen's own size goes back to the texture scale.
    QorGraphics& g = qor->graphics();
    g.viewportHeight = 480;
    font->onPresentationRestored();
    EXPECT_FLOAT_EQ(font->rasterScale, 1.0f);
    EXPECT_EQ(font->pFontCache->rowHeight, 21);
    g.viewportHeight = 600;
    font->onPresentationRestored();
    EXPECT_FLOAT_EQ(font->rasterScale, 1.25f);
    scene->destroy();
    font->destroy();
}

// The bitmap fonts' fallback on a window 2,580 pixels high rasterises its 48-pixel line at
// 5.375 texels a pixel: a cell of 258 texels, whose row outgrows the usual 256-texel page,
// so the cache's pages grow to hold it and the text is drawn. Where even the largest page
// could not hold the cell, the raster scale is held at the largest that fits, with the
// simulated texture limit and with the device's own.
TEST_F(FontGDIWindowTest, AFontThatFollowsALargeWindowKeepsItsCellWithinTheLargestPage) {
    QorGraphics& g = qor->graphics();
    auto* font = new FontGDI(48, 0.75f, 1.0f, 1.0f, u"Comic Sans MS");
    font->outline = 1;
    font->followWindow(true);
    auto* scene = new TextScene([font] { font->drawTextAt(-390.0f, 230.0f, 0.0f, 0xFFFFFFFFu, 0, u"Ann"); });
    scene->clearColor = 0xFF7890A8u;
    const auto drawnAt = [&](int viewportHeight) {
        g.viewportHeight = viewportHeight;
        font->onPresentationRestored();
        runFrame(scene);
        int w = 0, h = 0;
        const std::vector<std::uint32_t> pixels = backBuffer(w, h);
        int inkWidth = 0, darkest = 0;
        return whiteCores(pixels, w, 2, w / 2, 0, 100, inkWidth, darkest).size();
    };

    EXPECT_GE(drawnAt(2580), 2u);
    EXPECT_FLOAT_EQ(font->rasterScale, 5.375f);
    EXPECT_EQ(font->pFontCache->rowHeight, 259);
    EXPECT_EQ(font->pFontCache->textureSize, 512);
    EXPECT_EQ(font->pFontCache->countTextures(), 1);

    // Twelve window pixels a raw pixel would be a cell of 576 texels; 512-texel pages
    // (the simulated limit) hold cells up to 510, so 10.625 texels a pixel.
    EXPECT_GE(drawnAt(480 * 12), 2u);
    EXPECT_FLOAT_EQ(font->rasterScale, 10.625f);
    EXPECT_EQ(font->pFontCache->rowHeight, 511);
    EXPECT_EQ(font->pFontCache->textureSize, 512);

    // With the device's own limit the pages grow further, up to its largest texture.
    g.bSimulate256x256TextureHW = 0;
    EXPECT_GE(drawnAt(480 * 12), 2u);
    EXPECT_FLOAT_EQ(font->rasterScale, 12.0f);
    EXPECT_EQ(font->pFontCache->textureSize, 1024);
    g.viewportHeight = 480 * 1000;  // no page of any device holds a cell of 48,000 texels
    font->onPresentationRestored();
    EXPECT_LT(font->rasterScale, 1000.0f);
    EXPECT_LE(font->pFontCache->rowHeight, font->pFontCache->textureSize);
    EXPECT_LE(font->pFontCache->textureSize, g.dxDevice->maxTextureSize());
    EXPECT_EQ(font->pFontCache->textureSize, FontCache::largestPage());
    EXPECT_EQ(font->pFontCache->countTextures(), 0) << "no page is made before a text needs it";

    g.bSimulate256x256TextureHW = 1;
    g.viewportHeight = 600;
    font->onPresentationRestored();
    EXPECT_FLOAT_EQ(font->rasterScale, 1.25f);
    scene->destroy();
    font->destroy();
}
