#include "render/FontCache.h"

#include <algorithm>

#include "engine/ClassInfo.h"
#include "engine/ErrorManager.h"
#include "engine/MemoryIniFile.h"
#include "engine/Qor.h"
#include "render/FontCacheEntry.h"
#include "render/ImageTexture.h"

QOR_DEFINE_CLASS(FontCache, QorBase, nullptr)

namespace {
constexpr int kKeepImage = 8;
constexpr int kLargeTexture = 4;
constexpr int kDefaultTTL = 2;

int textureScale() { return qor->hq2x > 0 ? qor->hq2x : 1; }

// Flags of a page of `size` texels a side.
int pageFlags(int size) { return kKeepImage | (size > 256 ? kLargeTexture : 0); }
}  // namespace

int FontCache::largestPage() {
    const int limit = Texture::largestSide(pageFlags(512));
    int size = 256 * textureScale();
    while (size <= limit / 2) size *= 2;
    return size;
}

FontCache::FontCache(int rowHeight_, std::uint8_t clearWhite, std::u16string name)
    : cacheName(std::move(name)), rowHeight(rowHeight_), bCacheClearWhite(clearWhite) {
    const int scale = textureScale();
    textureSize = 256 * scale;
    // A row taller than the usual page gets pages doubled until one holds it.
    const int largest = largestPage();
    while (textureSize < rowHeight && textureSize < largest) textureSize *= 2;
    margin = scale;
    lineWidth = textureSize - 2 * margin;
    if (MemoryIniFile* s = qor->pSettings) {
        const std::u16string section = classInfo.name;
        cacheTTLframes = s->getInt(section, u"cacheTTLframes", kDefaultTTL);
    }
}

FontCache::~FontCache() { clear(); }

ClassInfo* FontCache::getClass() const { return &classInfo; }

void FontCache::clear() {
    entryList.deleteChildren();
    textureList.deleteChildren();
}

void FontCache::onQORmodeChange(int oldMode, int newMode) {
    if (oldMode == Qor::MODE_PAUSED && newMode == Qor::MODE_FROZEN) clear();
}

void FontCache::purge() { clear(); }

FontCacheEntry* FontCache::findText(std::u16string_view text) {
    for (BasicLink* node = entryList.firstChild; node; node = node->next) {
        auto* e = static_cast<FontCacheEntry*>(node);
        if (e->text == text) {
            QOR_ASSERT("FontCache::findText", e->bPrimaryLine);
            return e;
        }
    }
    return nullptr;
}

FontCacheEntry* FontCache::createCacheTexture() {
    const int rows = rowHeight > 0 ? textureSize / rowHeight : 0;
    auto* texture =
        new ImageTexture(textureSize, textureSize, pageFlags(textureSize), bCacheClearWhite ? 0x00FFFFFFu : 0u);
    texture->name = formatString(u"FontCacheTex%s[%d]", cacheName, textureList.countChildren());
    textureList.addChild(texture);
    FontCacheEntry* result = nullptr;
    for (int r = 0; r < rows; ++r) {
        auto* e = new FontCacheEntry(texture, margin, Rect{0, r * rowHeight, (r + 1) * rowHeight, textureSize});
        entryList.addChild(e);
        if (!result) result = e;
    }
    QOR_ASSERT("FontCache::createCacheTexture",
               result != NULL);  // NOLINT(modernize-use-nullptr): the report shows this text
    return result;
}

FontCacheEntry* FontCache::getFreeEntry() {
    // A lifetime below one frame would hand a text being built its own first row.
    const int ttl = std::max(1, cacheTTLframes);
    for (BasicLink* node = entryList.firstChild; node; node = node->next) {
        auto* e = static_cast<FontCacheEntry*>(node);
        if (e->bPrimaryLine && (e->lastUsedFrame == -999 || qor->frameCounter >= e->lastUsedFrame + ttl)) {
            e->release();
            return e;
        }
    }
    return createCacheTexture();
}

FontCacheEntry* FontCache::chain(FontCacheEntry*& first, FontCacheEntry*& prev, std::u16string_view text) {
    FontCacheEntry* e = getFreeEntry();
    if (prev) {
        prev->pNextLine = e;
        e->bPrimaryLine = 0;
    }
    if (!first) {
        first = e;
        e->text = std::u16string(text);
    }
    prev = e;
    return e;
}

FontCacheEntry* FontCache::addTextFromFontQuad(FontQuad& font, std::u16string_view text) {
    FontCacheEntry *first = nullptr, *prev = nullptr;
    const std::u16string whole(text);
    std::u16string_view rest = whole;
    while (!rest.empty()) {
        FontCacheEntry* e = chain(first, prev, whole);
        const int n = e->fillCacheFromFontQuad(font, rest);
        rest.remove_prefix(static_cast<std::size_t>(n));
    }
    return first;
}

FontCacheEntry* FontCache::addTextFromBitmap(const std::uint32_t* pixels, std::u16string_view text, int width,
                                             int height) {
    FontCacheEntry *first = nullptr, *prev = nullptr;
    int x = 0;
    do {
        const int end = std::min(width, x + lineWidth);
        FontCacheEntry* e = chain(first, prev, text);
        e->fillCacheFromGDI(pixels, width, height, Rect{x, 0, height, end});
        x += lineWidth;
    } while (x < width);
    return first;
}
