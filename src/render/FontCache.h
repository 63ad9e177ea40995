#pragma once
// Rendered texts kept in texture memory, so that a long text is drawn as one quad per
// row instead of one per character. Square pages (textureSize texels: 256 x the texture
// scale, doubled as often as a taller row needs, up to largestPage) are cut into rows;
// a text that does not fit one row continues in further rows chained behind its first.
// Rows whose text went unused for cacheTTLframes frames are reused; pages are added
// when no row is free and all are dropped on device loss or purge. Each font owns one.
//
// Setting (section "FontCache"): cacheTTLframes, default 2. A value below 1 would let a
// text being built reuse its own first row; it is used as 1 (the stored value stays).
#include <cstdint>
#include <string>

#include "engine/QorBase.h"

class FontCacheEntry;
class FontQuad;

class FontCache : public QorBase {
public:
    FontCache(int rowHeight, std::uint8_t bCacheClearWhite, std::u16string cacheName);
    ~FontCache() override;
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;
    // Device loss (paused to frozen) empties the cache.
    void onQORmodeChange(int oldMode, int newMode) override;
    void purge() override;

    // The first row of the text, or null.
    FontCacheEntry* findText(std::u16string_view text);
    FontCacheEntry* addTextFromFontQuad(FontQuad& font, std::u16string_view text);
    // Stores a bitmap of width x height ARGB texels in lineWidth slices.
    FontCacheEntry* addTextFromBitmap(const std::uint32_t* pixels, std::u16string_view text, int width, int height);
    FontCacheEntry* getFreeEntry();
    // The first row of a new page; a row taller than the page is fatal.
    FontCacheEntry* createCacheTexture();
    // The largest page a cache can have now: 256 x the texture scale doubled while the
    // textures' limit allows. A font must keep its rows within it.
    static int largestPage();
    int countTextures() const { return textureList.countChildren(); }
    int countEntries() const { return entryList.countChildren(); }

    int textureSize = 256;  // texels
    int margin = 1;         // texels left free at each end of a row
    int lineWidth = 254;    // width of one slice of a bitmap: the page's less both margins
    std::u16string cacheName;
    int rowHeight = 0;  // texels
    std::uint8_t bCacheClearWhite = 0;
    int cacheTTLframes = 2;  // as read from the settings
    QorBase textureList;     // the pages, in creation order
    QorBase entryList;       // the rows, in creation order

private:
    void clear();
    FontCacheEntry* chain(FontCacheEntry*& first, FontCacheEntry*& prev, std::u16string_view text);
};
