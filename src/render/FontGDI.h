#pragma once
// Text in a system typeface: each text is rasterised into a white-on-black bitmap whose
// intensity becomes the alpha of white texels (ringed with ink when `outline` is set, as
// the bitmap fonts' fallback is), the texels are copied into the rows of the font's own
// cache, and the rows are drawn as quads. The engine's default font ("Arial", 12 pixels)
// draws the console and the debug overlays; every bitmap font makes one ("Comic Sans
// MS") as its fallback.
//
// Sizes: `height` is in screen pixels; raw sizes are height / y scale; rasterising
// happens at the texture scale (the engine's hq2x factor), or, for a font that follows
// the window, at the window's own pixels per raw pixel, so that a text magnified onto a
// large window stays as sharp as the window allows (held where its cell would outgrow
// the largest cache page); measurements come back in raw pixels. Owns its cache and its
// typeface. Main thread only.
#include <cstdint>
#include <memory>
#include <string>

#include "engine/QorBase.h"
#include "engine/Vector3.h"
#include "render/UColor.h"

class FontCache;
class FontCacheEntry;
class Renderable;
class SystemTypeface;

struct TextSize {
    int width = 0;
    int height = 0;
};

struct TextSizeF {
    float width = 0.0f;
    float height = 0.0f;
};

class FontGDI : public QorBase {
public:
    // A face name of 31 characters or more is fatal, and so is a face that cannot load.
    FontGDI(int height, float scaleX, float scaleY, float scaleZ, std::u16string fontName);
    ~FontGDI() override;
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;
    // A new window size changes the raster scale of a font that follows the window.
    void onPresentationRestored() override;

    // From now on the text is rasterised at the window's scale (never below the texture
    // scale, nor above what the largest cache page holds) in the face's bold weight when
    // `bold`; texts cached before are dropped.
    void followWindow(bool bold);

    // Raw size of the text's bitmap: its extent plus negative overhangs plus a margin at
    // each end (a texel, or the ink ring's width where that is more). The outputs
    // (callers zero them) receive each end's overhang plus its margin, in texels.
    TextSize measureTextRaw(int* pLeadOverhang, int* pTrailOverhang, std::u16string_view text);
    TextSizeF measureText(std::u16string_view text);
    // Rasterises the text into the cache; null for a text of zero width.
    FontCacheEntry* renderText(std::u16string_view text);
    FontCacheEntry* findOrCacheText(std::u16string_view text);
    // Draws one line at the pen, placed by the layout flags (0x04, 0x08, 0x10, 0x20,
    // 0x40, 0x80 as for the bitmap fonts).
    void drawText(Renderable& pen, int flags, std::u16string_view text);
    void drawTextAt(float x, float y, float z, UColor color, int flags, std::u16string_view text);

    int height = 0;
    FontCache* pFontCache = nullptr;  // owned
    int fontHeightRaw = 0;
    int fontBaselineRaw = 0;
    int fontUppercaseLineRaw = 0;
    int fontLowercaseLineRaw = 0;
    Vector3 scale{1.0f, 1.0f, 1.0f};
    std::u16string fontName;
    int outline = 0;           // raw pixels of ink around the letters; texts cached before a change keep theirs
    float rasterScale = 1.0f;  // texels per raw pixel

private:
    // Texels of the text's bitmap: its extent plus overhangs and a margin on each side
    // that holds the ink ring; `pLead` (when given) receives the texels before the pen.
    TextSize measureTexels(int* pLead, int* pTrail, std::u16string_view text);
    int ringTexels() const;
    // Opens the typeface at the raster scale and starts an empty cache.
    void openTypeface();
    float wantedRasterScale() const;

    std::unique_ptr<SystemTypeface> hFont;
    std::uint8_t bFollowWindow = 0;
    std::uint8_t bBold = 0;
};
