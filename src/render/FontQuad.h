#pragma once
// The engine's bitmap font: every character is a skin of a glyph-sheet texture, mapped
// to its code point through a code-page table that the current language chooses. A text
// is one line drawn as a row of glyph quads relative to a pen (a Renderable whose world
// transform and colour place and tint it). The font builds accented letters from a base
// glyph and an accent, measures and aligns texts, draws an optional drop shadow, keeps
// long texts in its own cache and falls back to a system typeface on request.
//
// Building a font: construct; set defaultWidth, spacing, the two line metrics, bUseCache
// and bCacheClearWhite; loadGlyphSheets (or addSourceTexture); setupCompositeChars where
// wanted; createCache.
//
// Units are the font's raw pixels, y up; a line occupies y from 0 down to -fontHeightRaw.
// Owns its symbol pages, its cache and its fallback font; the glyph quads belong to their
// sheets. Main thread only.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/QorBase.h"
#include "engine/Vector3.h"
#include "render/FontGDI.h"
#include "render/FontSymbol.h"
#include "render/UColor.h"

class FontCache;
class FontCacheEntry;
class ImageTexture;
class Texture;
class Quad;
class Renderable;

class FontQuad : public QorBase {
public:
    static constexpr std::uint16_t kContinue = 0xFFFF;  // firstIndex: go on where the last sheet stopped
    static constexpr int kAutomaticAccentY = -999;
    static constexpr char16_t kColourMarker = 0x1E;  // followed by 8 characters of colour
    static constexpr int kColourLength = 8;

    FontQuad();
    ~FontQuad() override;
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;
    void onPresentationRestored() override { recalcScaledMetrics(); }

    // Adds every sheet registered as "<name>1", "<name>2", ... and "<name>Extra1", ...
    void loadGlyphSheets(const std::u16string& name);
    // The sheet's skins are its glyph cells in code-page order; its pixels are kept in
    // memory (load flag 8) so that the cache can copy glyphs from them.
    void addSourceTexture(Texture* texture, std::uint16_t firstIndex, bool bLatin1);
    void setCompositeChar(char16_t code, char16_t base, char16_t accent, int accentY);
    void setupCompositeChars();
    // Asks for real-pixel scaling: glyphs one texel to one screen pixel, as scale-mode-2
    // renderables are drawn. The engine grants it only while its pixelScalingOff is 0,
    // and it keeps that at 1 for its whole life, so such a font still lays out and draws
    // in virtual pixels at scale (1, 1, 1), as the screens' layouts expect.
    void enablePixelScaling();
    void createCache();
    void recalcScaledMetrics();
    FontSymbol& getSymbol(char16_t code);
    FontGDI* getFallbackFont();

    // (width, height) of a line. pCharIndex, when given, holds an x position on entry
    // and receives the index of the character under it (or the length).
    TextSize measureTextRaw(bool bIncludeLastSpacing, int* pCharIndex, int flags, std::u16string_view text);
    TextSizeF measureText(bool bIncludeLastSpacing, int* pCharIndex, int flags, std::u16string_view text);
    // A text with colour markers, measured without them.
    TextSize measureMarkedText(std::u16string_view text);
    TextSizeF getMarkedTextSize(std::u16string_view text);

    void drawText(Renderable& pen, int flags, std::u16string_view text);
    void drawTextAt(float x, float y, float z, UColor color, int flags, std::u16string_view text);
    // The shadow (drawn only in high detail) at the pen moved by (dx, dy, dz), then the text.
    void drawTextWithShadow(Renderable& pen, int flags, float dx, float dy, float dz, UColor shadowColour,
                            std::u16string_view text);
    void drawTextWithShadowAt(float x, float y, float z, UColor color, int flags, float dx, float dy, float dz,
                              UColor shadowColour, std::u16string_view text);
    FontCacheEntry* findOrCacheText(std::u16string_view text);
    FontCacheEntry* cacheText(std::u16string_view text);
    // Copies a glyph's pixels from its sheet into a cache page at texel (x, y).
    void blitGlyph(const Quad& glyph, ImageTexture& destination, int x, int y) const;

    int defaultWidth = 4;
    int spacing = 1;
    int fontHeightRaw = 0;
    int fontBaselineRaw = 0;
    int fontUppercaseLineRaw = 0;
    int fontLowercaseLineRaw = 0;
    int fontHeight = 0, fontBaseline = 0, fontUppercaseLine = 0, fontLowercaseLine = 0;
    std::uint8_t bUseCache = 1;
    std::uint8_t bCacheClearWhite = 0;
    std::uint8_t bPixelScalingAsked = 0;  // the owner asked for real-pixel scaling (see enablePixelScaling)
    FontCache* pFontCache = nullptr;      // owned
    std::u16string fontName = u"<unknown>";
    std::array<std::unique_ptr<FontSymbol[]>, 256> symbolPages;
    std::uint16_t nextSymbolToLoad = 0;
    FontGDI* pFallbackFont = nullptr;  // owned
    Vector3 scale{1.0f, 1.0f, 1.0f};

private:
    int glyphAdvance(const FontSymbol& sym) const;
    void drawAccents(Renderable& glyphPen, std::u16string_view text);
    const std::uint32_t* chooseTable(bool bLatin1, std::uint32_t& entries);
};
