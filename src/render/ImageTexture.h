#pragma once
// A blank texture that keeps its pixels in memory and carries skins of its own cutting:
// the glyph sheets drawn at run time (tests, benchmarks) and the pages of the font
// caches, which are filled row by row. Rows go to the device one rectangle at a time.
//
// Owns its glyph skins (Quads on this texture, anchored at their top-left corners); the
// kept pixels are the texture's saved copy. Texel units; rows from the top.
#include <cstdint>
#include <vector>

#include "render/Rect.h"
#include "render/Texture.h"

class Quad;

class ImageTexture : public Texture {
public:
    // A blank image of width x height texels, every pixel `fill` (ARGB).
    ImageTexture(int width, int height, std::uint32_t flags, std::uint32_t fill);
    // An image from ARGB pixels (width x height, rows from the top).
    ImageTexture(int width, int height, std::uint32_t flags, const std::vector<std::uint32_t>& argb);
    ~ImageTexture() override;
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // Adds a glyph skin showing the texel rectangle, anchored at its top-left corner.
    Quad* addSkin(const Rect& r);
    // Fills a rectangle of the kept image (clipped), without touching the device copy.
    void fillRect(const Rect& r, std::uint32_t argb);
    // Copies a rectangle of the kept image to the device copy.
    void uploadRect(const Rect& r);
    std::uint32_t* row(int y);
    std::uint32_t pixel(int x, int y) const;
    int imageWidth() const;
    int imageHeight() const;

    std::vector<Quad*> glyphSkins;  // owned, in the order they were cut
};
