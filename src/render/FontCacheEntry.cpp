#include "render/FontCacheEntry.h"

#include <algorithm>

#include "engine/ClassInfo.h"
#include "engine/ErrorManager.h"
#include "engine/Qor.h"
#include "render/FontQuad.h"
#include "render/ImageTexture.h"
#include "render/Quad.h"
#include "render/Renderable.h"

QOR_DEFINE_CLASS(FontCacheEntry, QorBase, nullptr)

namespace {
constexpr std::uint32_t kClearWhite = 0x00FFFFFFu;

int textureScale() { return qor->hq2x > 0 ? qor->hq2x : 1; }
}  // namespace

FontCacheEntry::FontCacheEntry(ImageTexture* texture, int margin_, const Rect& bounds)
    : cacheBounds(bounds), margin(margin_), pTexture(texture) {
    pQuad = new Quad();
    pQuad->pTexture = texture;
    pQuad->refresh();
    pQuad->setSourceRect(bounds.left, bounds.top, bounds.bottom, bounds.right);
}

FontCacheEntry::~FontCacheEntry() {
    if (pQuad) pQuad->destroy();
}

ClassInfo* FontCacheEntry::getClass() const { return &classInfo; }

void FontCacheEntry::finishQuad(int right, int bottom) {
    pQuad->setSourceRect(cacheBounds.left + margin, cacheBounds.top, bottom, right);
    pQuad->setAnchor(7);
    pTexture->uploadRect(cacheBounds);
}

int FontCacheEntry::fillCacheFromFontQuad(FontQuad& font, std::u16string_view chars) {
    lastUsedFrame = qor->frameCounter;
    const int scale = textureScale();
    const int limit = cacheBounds.right - margin;
    int x = cacheBounds.left + margin;
    const int y = cacheBounds.top;
    pTexture->fillRect(cacheBounds, font.bCacheClearWhite ? kClearWhite : 0u);
    int numCharsBlitted = 0;
    for (char16_t c : chars) {
        const FontSymbol& sym = font.getSymbol(c);
        const int w = sym.pBaseQuad ? static_cast<int>(sym.pBaseQuad->width) : font.defaultWidth;
        int advance = scale * w + scale * sym.spacing;
        if (advance <= 0) advance = 0;
        if (x + advance >= limit) break;
        if (sym.pBaseQuad) font.blitGlyph(*sym.pBaseQuad, *pTexture, x, y);
        x += advance;
        ++numCharsBlitted;
    }
    if (!chars.empty()) QOR_ASSERT("FontCacheEntry::fillCacheFromFontQuad", numCharsBlitted > 0);
    finishQuad(x, cacheBounds.top + scale * font.fontHeightRaw);
    return numCharsBlitted;
}

void FontCacheEntry::fillCacheFromGDI(const std::uint32_t* pixels, int bitmapWidth, int bitmapHeight, Rect source) {
    lastUsedFrame = qor->frameCounter;
    const Rect given = source;
    int destX = cacheBounds.left + margin;
    const int destY = cacheBounds.top;
    if (margin > 0) {
        // One more pixel on each side where the bitmap has one, so that filtering at the
        // slice's edges sees its neighbours.
        if (source.left > 0) {
            --source.left;
            --destX;
        }
        if (source.right < bitmapWidth) ++source.right;
    }
    QOR_ASSERT("FontCacheEntry::fillCacheFromGDI", pTexture != nullptr);
    const int loopWidth = source.right - source.left, loopHeight = source.bottom - source.top;
    QOR_ASSERT("FontCacheEntry::fillCacheFromGDI", loopWidth <= cacheBounds.width());
    QOR_ASSERT("FontCacheEntry::fillCacheFromGDI", loopHeight <= cacheBounds.height());
    for (int row = 0; row < loopHeight; ++row) {
        const int sy = source.top + row;
        if (sy < 0 || sy >= bitmapHeight) continue;
        std::uint32_t* dst = pTexture->row(destY + row);
        const std::uint32_t* src = pixels + static_cast<std::size_t>(sy) * bitmapWidth;
        for (int col = 0; col < loopWidth; ++col) {
            const int sx = source.left + col, dx = destX + col;
            if (sx < 0 || sx >= bitmapWidth || dx < 0 || dx >= pTexture->imageWidth()) continue;
            dst[dx] = src[sx];
        }
    }
    const int left = cacheBounds.left + margin;
    finishQuad(left + given.width(), cacheBounds.top + (given.bottom - given.top));
}

void FontCacheEntry::release() {
    pTexture->fillRect(cacheBounds, kClearWhite);
    text.clear();
    bPrimaryLine = 1;
    lastUsedFrame = -999;
    if (pNextLine) {
        pNextLine->release();
        pNextLine = nullptr;
    }
}

void FontCacheEntry::draw(Renderable& pen) {
    Renderable r;
    r.color = pen.color;
    r.pSkin = pQuad;
    r.bSkipVisibility = 1;
    r.postXform = pen.xform;
    r.updateXform();
    r.render();
    lastUsedFrame = qor->frameCounter;
}

void FontCacheEntry::drawRows(Renderable& glyphPen, float ox, float oy, float scaleX) {
    for (FontCacheEntry* e = this; e; e = e->pNextLine) {
        glyphPen.position = Vector3{ox, oy, 0.0f};
        glyphPen.updateXform();
        e->draw(glyphPen);
        ox += e->pQuad->width * scaleX;
    }
}
