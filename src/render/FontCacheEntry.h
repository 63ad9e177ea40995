#pragma once
// One row of a font cache page: a horizontal strip of the page holding (part of) one
// rendered text, drawn as a single quad. A text longer than a row continues in further
// rows chained through pNextLine; the first row holds the text and answers lookups.
//
// Owned by its cache (a child of its entry list); owns its quad. The row's rectangle is
// in texels of its page.
#include <cstdint>
#include <string>

#include "engine/QorBase.h"
#include "render/Rect.h"

class FontQuad;
class ImageTexture;
class Quad;
class Renderable;

class FontCacheEntry : public QorBase {
public:
    FontCacheEntry(ImageTexture* texture, int margin, const Rect& cacheBounds);
    ~FontCacheEntry() override;
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // Places as many leading glyphs of `text` as fit, from the font's sheets; returns
    // how many. A first glyph that does not fit is fatal.
    int fillCacheFromFontQuad(FontQuad& font, std::u16string_view text);
    // Copies a slice of a bitmap of finished texels (width x height ARGB pixels) into the row.
    void fillCacheFromGDI(const std::uint32_t* pixels, int bitmapWidth, int bitmapHeight, Rect source);
    // Frees this row and every row chained behind it.
    void release();
    // Draws the row's quad at the pen's place, in its colour.
    void draw(Renderable& pen);
    // Draws this row and the rows chained behind it side by side, the first at (ox, oy)
    // of the glyph pen's parent space; `scaleX` turns a row's width into that space.
    void drawRows(Renderable& glyphPen, float ox, float oy, float scaleX);

    std::uint8_t bPrimaryLine = 1;        // a free row or the first row of a text
    FontCacheEntry* pNextLine = nullptr;  // the next row of the same text
    int lastUsedFrame = -999;             // engine frame of the last fill or draw; -999 free
    std::u16string text;                  // the whole text, first row only
    Quad* pQuad = nullptr;                // owned
    Rect cacheBounds;                     // texels of the page
    int margin = 0;                       // texels left free at each end
    ImageTexture* pTexture = nullptr;     // the page, not owned

private:
    void finishQuad(int right, int bottom);
};
