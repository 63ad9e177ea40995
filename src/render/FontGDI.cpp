#include "render/FontGDI.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/ClassInfo.h"
#include "engine/ErrorManager.h"
#include "engine/Logger.h"
#include "engine/Qor.h"
#include "engine/Strings.h"
#include "platform/SystemTypeface.h"
#include "render/FontCache.h"
#include "render/FontCacheEntry.h"
#include "render/QorGraphics.h"
#include "render/Quad.h"
#include "render/Renderable.h"
#include "render/TextLayout.h"

QOR_DEFINE_CLASS(FontGDI, QorBase, nullptr)

namespace {
// The longest face name a font description holds, with its terminating zero.
constexpr std::size_t LF_FACESIZE = 32;

int textureScale() { return qor->hq2x > 0 ? qor->hq2x : 1; }

char32_t firstChar(std::u16string_view t) {
    if (t.size() >= 2 && t[0] >= 0xD800 && t[0] < 0xDC00 && t[1] >= 0xDC00 && t[1] < 0xE000)
        return 0x10000 + ((t[0] - 0xD800) << 10) + (t[1] - 0xDC00);
    return t[0];
}

// The palette's ink navy, the bitmap fonts' outline colour.
constexpr std::uint32_t kOutlineInk = 0x161F3Au;

// Turns a rasterised white-on-black bitmap into cache texels: white letters whose
// intensity is their alpha, over a ring of ink `radius` pixels wide when radius > 0.
void toTexels(std::vector<std::uint32_t>& bitmap, int w, int h, int radius) {
    std::vector<std::uint8_t> cover(bitmap.size());
    for (std::size_t i = 0; i < bitmap.size(); ++i) cover[i] = static_cast<std::uint8_t>(bitmap[i] & 0xFFu);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int f = cover[static_cast<std::size_t>(y) * w + x];
            int ring = 0;
            for (int dy = -radius; dy <= radius; ++dy)
                for (int dx = -radius; dx <= radius; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (dx * dx + dy * dy > radius * radius || nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
                    ring = std::max(ring, static_cast<int>(cover[static_cast<std::size_t>(ny) * w + nx]));
                }
            const int alpha = std::max(ring, f);
            std::uint32_t rgb = 0xFFFFFFu;
            if (alpha > 0 && f < alpha) {  // fill over ink, weighted by the fill's share
                rgb = 0;
                for (int shift : {16, 8, 0}) {
                    const int ink = static_cast<int>((kOutlineInk >> shift) & 0xFFu);
                    rgb |= static_cast<std::uint32_t>(ink + (255 - ink) * f / alpha) << shift;
                }
            }
            bitmap[static_cast<std::size_t>(y) * w + x] = static_cast<std::uint32_t>(alpha) << 24 | rgb;
        }
}

char32_t lastChar(std::u16string_view t) {
    const std::size_t n = t.size();
    if (n >= 2 && t[n - 2] >= 0xD800 && t[n - 2] < 0xDC00 && t[n - 1] >= 0xDC00 && t[n - 1] < 0xE000)
        return 0x10000 + ((t[n - 2] - 0xD800) << 10) + (t[n - 1] - 0xDC00);
    return t[n - 1];
}
}  // namespace

FontGDI::FontGDI(int height_, float scaleX, float scaleY, float scaleZ, std::u16string fontName_)
    : height(height_), scale{scaleX, scaleY, scaleZ}, fontName(std::move(fontName_)) {
    fontHeightRaw = static_cast<int>(static_cast<float>(height) / scale.y);
    fontBaselineRaw = fontHeightRaw * 80 / 100;
    fontUppercaseLineRaw = fontHeightRaw * 20 / 100;
    fontLowercaseLineRaw = fontHeightRaw * 34 / 100;
    QOR_LOG("FontGDI::FontGDI", u"Creating GDI font (height=%d pixels, raw=%d).", height, fontHeightRaw);
    QOR_LOG("FontGDI::FontGDI", u"fontBaselineRaw=%d, fontUppercaseLineRaw=%d, fontLowercaseLineRaw=%d",
            fontBaselineRaw, fontUppercaseLineRaw, fontLowercaseLineRaw);
    QOR_ASSERT("FontGDI::FontGDI", fontName.length() < LF_FACESIZE - 1);
    rasterScale = static_cast<float>(textureScale());
    openTypeface();
}

FontGDI::~FontGDI() {
    if (pFontCache) pFontCache->destroy();
}

ClassInfo* FontGDI::getClass() const { return &classInfo; }

float FontGDI::wantedRasterScale() const {
    const auto base = static_cast<float>(textureScale());
    const QorGraphics* g = qor->pQorGraphics;
    if (!bFollowWindow || !g || g->viewportHeight <= 0 || g->virtualHeight <= 0) return base;
    // Window pixels per raw pixel, in steps of an eighth so that a window a pixel
    // taller or shorter keeps the cached texts.
    const float window = static_cast<float>(g->viewportHeight) / static_cast<float>(g->virtualHeight) * scale.y;
    const float wanted = std::max(base, std::round(window * 8.0f) / 8.0f);
    // Held where a row of the cell (and its spare texel) would outgrow the largest page
    // the cache can have; the texts are then magnified a little, as on a smaller window.
    const float largestCell = static_cast<float>(FontCache::largestPage() - 1);
    const float held = std::floor(largestCell / static_cast<float>(std::max(1, fontHeightRaw)) * 8.0f) / 8.0f;
    return std::max(0.125f, std::min(wanted, held));
}

void FontGDI::openTypeface() {
    const int cell = std::max(1, static_cast<int>(std::lround(rasterScale * static_cast<float>(fontHeightRaw))));
    hFont = SystemTypeface::open(wideToUtf8(fontName), cell, bBold != 0);
    QOR_ASSERT("FontGDI::FontGDI", hFont != NULL);  // NOLINT(modernize-use-nullptr): the report shows this text
    if (pFontCache) pFontCache->destroy();
    pFontCache = new FontCache(cell + 1, 1, formatString(u"%s%dpx", fontName, height));
}

void FontGDI::followWindow(bool bold) {
    bFollowWindow = 1;
    bBold = bold ? 1 : 0;
    rasterScale = wantedRasterScale();
    openTypeface();
}

void FontGDI::onPresentationRestored() {
    const float wanted = wantedRasterScale();
    if (wanted == rasterScale) return;
    rasterScale = wanted;
    openTypeface();
}

int FontGDI::ringTexels() const { return static_cast<int>(std::lround(static_cast<float>(outline) * rasterScale)); }

TextSize FontGDI::measureTexels(int* pLead, int* pTrail, std::u16string_view text) {
    const SystemTypeface::Extent extent = hFont->textExtent(text);
    int cx = extent.width;
    // Spacings of a character the face cannot describe count as 0.
    SystemTypeface::ABC first, last;
    hFont->charABC(firstChar(text), first);
    hFont->charABC(lastChar(text), last);
    // A texel of margin at each end, or the ink ring's width where that is more.
    const int margin = std::max(1, ringTexels());
    int lead = margin, trail = margin;
    if (first.a < 0) lead -= first.a;
    if (last.c < 0) trail -= last.c;
    if (pLead) *pLead = lead;
    if (pTrail) *pTrail = trail;
    return {cx + lead + trail, extent.height};
}

TextSize FontGDI::measureTextRaw(int* pLeadOverhang, int* pTrailOverhang, std::u16string_view text) {
    if (text.empty()) return {0, fontHeightRaw};
    int lead = 0, trail = 0;
    const TextSize texels = measureTexels(&lead, &trail, text);
    if (pLeadOverhang) *pLeadOverhang = lead;
    if (pTrailOverhang) *pTrailOverhang = trail;
    if (!bFollowWindow) {
        const int s = textureScale();
        return {texels.width / s, texels.height / s};
    }
    return {static_cast<int>(std::ceil(static_cast<float>(texels.width) / rasterScale)),
            static_cast<int>(std::lround(static_cast<float>(texels.height) / rasterScale))};
}

TextSizeF FontGDI::measureText(std::u16string_view text) {
    const TextSize raw = measureTextRaw(nullptr, nullptr, text);
    return {static_cast<float>(raw.width) * scale.x, static_cast<float>(raw.height) * scale.y};
}

FontCacheEntry* FontGDI::renderText(std::u16string_view text) {
    if (text.empty()) return nullptr;
    int lead = 0;
    const TextSize texels = measureTexels(&lead, nullptr, text);
    const int w = texels.width, h = texels.height;
    if (w <= 0 || h <= 0) return nullptr;
    std::vector<std::uint32_t> bitmap(static_cast<std::size_t>(w) * h, 0xFF000000u);
    hFont->drawText(text, lead, 0, bitmap.data(), w, h);
    toTexels(bitmap, w, h, ringTexels());
    return pFontCache->addTextFromBitmap(bitmap.data(), text, w, h);
}

FontCacheEntry* FontGDI::findOrCacheText(std::u16string_view text) {
    if (FontCacheEntry* e = pFontCache->findText(text)) return e;
    return renderText(text);
}

void FontGDI::drawText(Renderable& pen, int flags, std::u16string_view text) {
    if (text.empty()) return;
    const TextSize raw = measureTextRaw(nullptr, nullptr, text);
    float ox = 0.0f, oy = 0.0f;
    textOrigin(flags, raw.width, fontHeightRaw, fontUppercaseLineRaw, fontBaselineRaw, ox, oy);
    ox *= scale.x;
    oy *= scale.y;
    // The cache's quads measure texels / texture scale; drawn at this share they measure
    // texels / raster scale, raw pixels again.
    const float share = static_cast<float>(textureScale()) / rasterScale;
    const Vector3 glyphScale{scale.x * share, scale.y * share, scale.z};
    Renderable glyphPen;
    placeGlyphPen(glyphPen, pen, glyphScale, ox, oy);
    if (FontCacheEntry* e = findOrCacheText(text)) e->drawRows(glyphPen, ox, oy, glyphScale.x);
}

void FontGDI::drawTextAt(float x, float y, float z, UColor color, int flags, std::u16string_view text) {
    Renderable pen;
    placeTextPen(pen, x, y, z, color);
    drawText(pen, flags, text);
}
