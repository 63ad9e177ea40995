#include "render/MemoryImageFile.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "engine/DiskFile.h"
#include "engine/ErrorManager.h"
#include "engine/Logger.h"
#include "engine/Qor.h"
#include "render/BmpCodec.h"
#include "render/DecodedImage.h"
#include "render/JpegCodec.h"
#include "render/TgaCodec.h"

std::int32_t imageFileBytes = 0;

MemoryImageFile::MemoryImageFile(int flags_, std::u16string fileName_)
    : MemoryFile(flags_, std::move(fileName_)), flags(static_cast<std::uint32_t>(flags_)) {
    // With delayed loading the base has verified the file; the pixels come at first use.
    if (!qor->bEnableDelayedLoad || !(flags & kMayDelay)) unpurge();
}

MemoryImageFile::MemoryImageFile(int width_, int height_) : MemoryFile(0, std::u16string()) {
    QOR_ASSERT("MemoryImageFile::MemoryImageFile", width_ >= 0 && height_ >= 0);
    bHasAlpha = 1;
    setPixels(std::make_unique<UColor[]>(static_cast<std::size_t>(width_) * height_), width_, height_);
}

MemoryImageFile::~MemoryImageFile() { releasePixels(); }

void MemoryImageFile::unpurge() {
    if (pImageData || fileName.empty()) return;
    load();
    decode();
    // Only the decoded pixels stay.
    unload();
}

void MemoryImageFile::purge() {
    if (!fileName.empty()) releasePixels();
}

void MemoryImageFile::onQORmodeChange(int oldMode, int newMode) {
    if (oldMode == Qor::MODE_PAUSED && newMode == Qor::MODE_FROZEN) purge();
}

void MemoryImageFile::decode() {
    DecodedImage image;
    const bool sizeOnly = flags & kSizeOnly;
    bool ok = false;
    // The first extension found decides, in this order, whatever follows it.
    if (fileName.find(u".tga") != std::u16string::npos)
        ok = TgaCodec::decode(block.pData, block.size, sizeOnly, image);
    else if (fileName.find(u".bmp") != std::u16string::npos)
        ok = BmpCodec::decode(block.pData, block.size, image);
    else if (fileName.find(u".jpg") != std::u16string::npos)
        ok = JpegCodec::decode(block.pData, block.size, sizeOnly, image);
    else
        QOR_FATAL("MemoryImageFile::unpurge", u"Unknown image format (%s).", fileName);
    if (!image.warning.empty()) QOR_LOG("MemoryImageFile::loadJPG", u"%s: %s", fileName, image.warning);
    if (!ok) {
        // The fatal text is the decoder's own; the log says which file it was.
        QOR_LOG("MemoryImageFile::unpurge", u"Cannot decode '%s'.", fileName);
        fatalErrorAt(image.errorFunction, __FILE__, __LINE__, image.error);
    }
    adopt(image);
}

void MemoryImageFile::adopt(DecodedImage& image) {
    bHasAlpha = image.bHasAlpha;
    width = image.width;
    height = image.height;
    if (image.pixels) setPixels(std::move(image.pixels), image.width, image.height);
}

void MemoryImageFile::setPixels(std::unique_ptr<UColor[]> pixels, int newWidth, int newHeight) {
    releasePixels();
    width = newWidth;
    height = newHeight;
    pImageData = std::move(pixels);
    imageFileBytes += pixelBytes();
}

void MemoryImageFile::releasePixels() {
    if (!pImageData) return;
    imageFileBytes -= pixelBytes();
    pImageData.reset();
}

void MemoryImageFile::halveSize() {
    QOR_ASSERT("MemoryImageFile::halveSize", pImageData != nullptr);
    QOR_LOG("MemoryImageFile::halveSize", u"Halving texture size (original size: %dx%d)", width, height);
    const int w = width / 2, h = height / 2;
    auto halved = std::make_unique_for_overwrite<UColor[]>(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const UColor p[4] = {at(2 * x, 2 * y), at(2 * x + 1, 2 * y), at(2 * x, 2 * y + 1),
                                 at(2 * x + 1, 2 * y + 1)};
            UColor result = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                const UColor sum = ((p[0] >> shift) & 0xFF) + ((p[1] >> shift) & 0xFF) + ((p[2] >> shift) & 0xFF) +
                                   ((p[3] >> shift) & 0xFF);
                result |= (sum >> 2) << shift;
            }
            halved[static_cast<std::size_t>(y) * w + x] = result;
        }
    }
    setPixels(std::move(halved), w, h);
}

void MemoryImageFile::clear(const Rect* rect, bool bWhite) {
    QOR_ASSERT("MemoryImageFile::clear", pImageData != nullptr);
    const Rect whole{0, 0, height, width};
    const Rect& r = rect ? *rect : whole;
    // A rectangle reaching outside the image clears only the part inside it.
    const int left = std::max(r.left, 0), right = std::min(r.right, width);
    const int top = std::max(r.top, 0), bottom = std::min(r.bottom, height);
    const UColor value = bWhite ? 0x00FFFFFFu : 0x00000000u;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) at(x, y) = value;
}

void MemoryImageFile::blit(const MemoryImageFile* sourceData, const Rect* sourceRect_, const Point* destPoint_) {
    const Rect whole{0, 0, sourceData->height, sourceData->width};
    const Point origin;
    const Rect* sourceRect = sourceRect_ ? sourceRect_ : &whole;
    const Point* destPoint = destPoint_ ? destPoint_ : &origin;
    QOR_ASSERT("MemoryImageFile::blit", sourceRect->left >= 0 && sourceRect->top >= 0 &&
                                            sourceRect->right <= sourceData->width &&
                                            sourceRect->bottom <= sourceData->height);
    QOR_ASSERT("MemoryImageFile::blit", destPoint->x >= 0 && destPoint->y >= 0 &&
                                            destPoint->x + sourceRect->width() <= width &&
                                            destPoint->y + sourceRect->height() <= height);
    if (sourceRect->width() <= 0 || sourceRect->height() <= 0) return;
    QOR_ASSERT("MemoryImageFile::blit", pImageData != nullptr && sourceData->pImageData != nullptr);
    for (int y = 0; y < sourceRect->height(); ++y)
        std::memcpy(&at(destPoint->x, destPoint->y + y),
                    sourceData->pImageData.get() + static_cast<std::size_t>(sourceRect->top + y) * sourceData->width +
                        sourceRect->left,
                    static_cast<std::size_t>(sourceRect->width()) * sizeof(UColor));
}

void MemoryImageFile::ditherDiffusion12bpp() { ditherDiffusion(0xF0); }

void MemoryImageFile::ditherDiffusion15bpp() { ditherDiffusion(0xF8); }

// Floyd-Steinberg style diffusion with 8-bit wrapping accumulators per channel: cell
// x + 1 of an error row belongs to pixel x, with a guard cell at each end. The weights
// 7 (right), 3, 5, 1 (below left, below, below right) sum to 16, hence the >> 4.
void MemoryImageFile::ditherDiffusion(std::uint8_t mask) {
    QOR_ASSERT("MemoryImageFile::ditherDiffusion", pImageData != nullptr);
    using Cell = std::array<std::uint8_t, 3>;
    std::vector<Cell> current(static_cast<std::size_t>(width) + 2, Cell{}), next(current);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            UColor& p = at(x, y);
            for (int c = 0; c < 3; ++c) {
                const int shift = 8 * c;
                const int value = std::min(255, static_cast<int>((p >> shift) & 0xFF) + (current[x + 1][c] >> 4));
                p = (p & ~(0xFFu << shift)) | (static_cast<UColor>(value & mask) << shift);
                const int e = value & ~mask & 0xFF;
                current[x + 2][c] = static_cast<std::uint8_t>(current[x + 2][c] + 7 * e);
                next[x][c] = static_cast<std::uint8_t>(next[x][c] + 3 * e);
                next[x + 1][c] = static_cast<std::uint8_t>(next[x + 1][c] + 5 * e);
                next[x + 2][c] = static_cast<std::uint8_t>(next[x + 2][c] + e);
            }
        }
        // The error pushed past the row's end and before the next row's start lands on
        // the next row's first pixel.
        for (int c = 0; c < 3; ++c)
            next[1][c] = static_cast<std::uint8_t>(next[1][c] + current[width + 1][c] + next[0][c]);
        std::fill(current.begin(), current.end(), Cell{});
        std::swap(current, next);
    }
}

void MemoryImageFile::saveTGA(const std::u16string& name) const {
    QOR_ASSERT("MemoryImageFile::saveTGA", pImageData != nullptr || width * height == 0);
    if (width > 0xFFFF || height > 0xFFFF) {
        QOR_LOG("MemoryImageFile::saveTGA", u"%dx%d is too large for a TGA file; '%s' not written.", width, height,
                name);
        return;
    }
    const std::vector<std::uint8_t> bytes = TgaCodec::encode(width, height, pImageData.get());
    DiskFile::saveAtomically(name, bytes.data(), bytes.size());
}

void MemoryImageFile::saveBMP(const std::u16string& name) const {
    QOR_ASSERT("MemoryImageFile::saveBMP", pImageData != nullptr || width * height == 0);
    const std::vector<std::uint8_t> bytes = BmpCodec::encode(width, height, pImageData.get());
    DiskFile::saveAtomically(name, bytes.data(), bytes.size());
}

void MemoryImageFile::saveJPG(int quality, const std::u16string& name) const {
    if (width <= 0 || height <= 0) {
        QOR_LOG("MemoryImageFile::saveJPG", u"An empty image makes no JPEG file; '%s' not written.", name);
        return;
    }
    QOR_ASSERT("MemoryImageFile::saveJPG", pImageData != nullptr);
    std::vector<std::uint8_t> bytes;
    std::u16string error;
    if (!JpegCodec::encode(width, height, pImageData.get(), quality, bytes, error))
        QOR_FATAL("my_error_exit", u"%s", error);
    DiskFile::saveAtomically(name, bytes.data(), bytes.size());
}
