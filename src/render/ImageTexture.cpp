#include "render/ImageTexture.h"

#include <algorithm>

#include "engine/ClassInfo.h"
#include "render/MemoryImageFile.h"
#include "render/Point.h"
#include "render/Quad.h"

QOR_DEFINE_CLASS(ImageTexture, Texture, nullptr)

ImageTexture::ImageTexture(int width, int height, std::uint32_t flags, std::uint32_t fill)
    : Texture(width, height, flags | kKeepCopy) {
    fillRect(Rect{0, 0, imageHeight(), imageWidth()}, fill);
}

ImageTexture::ImageTexture(int width, int height, std::uint32_t flags, const std::vector<std::uint32_t>& argb)
    : Texture(width, height, flags | kKeepCopy) {
    for (int y = 0; y < std::min(height, imageHeight()); ++y)
        for (int x = 0; x < std::min(width, imageWidth()); ++x)
            row(y)[x] = argb[static_cast<std::size_t>(y) * width + x];
}

ImageTexture::~ImageTexture() {
    for (Quad* q : glyphSkins) q->destroy();
}

ClassInfo* ImageTexture::getClass() const { return &classInfo; }

int ImageTexture::imageWidth() const { return pSavedSourceData->width; }
int ImageTexture::imageHeight() const { return pSavedSourceData->height; }

std::uint32_t* ImageTexture::row(int y) { return &pSavedSourceData->at(0, y); }

std::uint32_t ImageTexture::pixel(int x, int y) const {
    return static_cast<const MemoryImageFile*>(pSavedSourceData)->at(x, y);
}

Quad* ImageTexture::addSkin(const Rect& r) {
    auto* q = new Quad();
    q->pTexture = this;
    q->setSourceRect(r.left, r.top, r.bottom, r.right);
    q->setAnchor(7);
    glyphSkins.push_back(q);
    return q;
}

void ImageTexture::fillRect(const Rect& r, std::uint32_t argb) {
    const int x0 = std::max(0, r.left), x1 = std::min(imageWidth(), r.right);
    const int y0 = std::max(0, r.top), y1 = std::min(imageHeight(), r.bottom);
    for (int y = y0; y < y1; ++y) std::fill(row(y) + x0, row(y) + std::max(x0, x1), argb);
}

void ImageTexture::uploadRect(const Rect& r) {
    Rect clipped{std::max(0, r.left), std::max(0, r.top), std::min(imageHeight(), r.bottom),
                 std::min(imageWidth(), r.right)};
    if (clipped.width() <= 0 || clipped.height() <= 0) return;
    const Point at{clipped.left, clipped.top};
    copyImageData(pSavedSourceData, &clipped, &at);
}
