#pragma once
// An image in memory: a memory file whose bytes are a TGA, BMP or JPEG file, decoded
// into 32-bit ARGB pixels (UColor, rows from the top, no padding: pixel (x, y) is
// pImageData[y * width + x]); or a blank image of a given size.
//
// File-backed images (a non-empty fileName) keep only the decoded pixels: the file's
// bytes are dropped as soon as they are decoded, and the pixels themselves may be
// dropped (purge, device loss) and decoded again from the file by unpurge(). A blank
// image holds its pixels from construction to destruction.
//
// Files are outside data: every header is checked against the file before a byte of
// it is used. A file refused by its decoder is a fatal format error naming the decoder
// ("MemoryImageFile::loadTGA", "::loadBMP", "::loadJPG", or libjpeg's "my_error_exit").
// Writers never fail loudly: a file that cannot be written is logged and skipped.
// Main thread only.
#include <cstdint>
#include <memory>
#include <string>

#include "engine/MemoryFile.h"
#include "render/Point.h"
#include "render/Rect.h"
#include "render/UColor.h"

struct DecodedImage;

// 4 x width x height for every image that holds pixels (main thread only).
extern std::int32_t imageFileBytes;

class MemoryImageFile : public MemoryFile {
public:
    static constexpr int kMayDelay = 1;  // flag: decoding may wait for the first unpurge()
    static constexpr int kSizeOnly = 2;  // flag: read the size only (BMP decodes anyway)

    // Reads and decodes `fileName` now, unless kMayDelay is set and the engine delays
    // loading (then the file is only verified to exist). The decoder is chosen by the
    // first of ".tga", ".bmp", ".jpg" found in the name (case-sensitive); a name with
    // none of them is fatal.
    MemoryImageFile(int flags, std::u16string fileName);
    // A blank image of width x height pixels, all transparent black.
    MemoryImageFile(int width, int height);
    ~MemoryImageFile() override;

    // Makes the pixels resident (reads and decodes the file); nothing for a blank image
    // or when they are resident already.
    void unpurge();
    // Drops the pixels of a file-backed image; the size stays. A blank image keeps its
    // pixels.
    void purge() override;
    // Device loss (paused to frozen) drops the pixels like purge().
    void onQORmodeChange(int oldMode, int newMode) override;

    // Pixel operations on resident pixels (a fatal assertion otherwise).
    // Halves each side (an odd last row or column is dropped), averaging 2 x 2 blocks.
    void halveSize();
    // Every pixel of `rect` (null: the whole image), clipped to the image, becomes
    // transparent black, or transparent white with bWhite.
    void clear(const Rect* rect, bool bWhite);
    // Copies `sourceRect` of `sourceData` (null: all of it) to `destPoint` (null: 0, 0),
    // pixels unchanged. Either rectangle outside its image is a fatal assertion.
    void blit(const MemoryImageFile* sourceData, const Rect* sourceRect, const Point* destPoint);
    // Error-diffusion dithers to 4 or 5 bits per colour channel; alpha unchanged.
    void ditherDiffusion12bpp();
    void ditherDiffusion15bpp();

    // Writers: each file is replaced atomically; failures are logged, never fatal.
    void saveTGA(const std::u16string& name) const;  // 32 bits with alpha
    void saveBMP(const std::u16string& name) const;  // 24 bits, alpha dropped
    // Colour JPEG at `quality` (1..100); a libjpeg failure is fatal ("my_error_exit").
    void saveJPG(int quality, const std::u16string& name) const;

    bool isResident() const { return pImageData != nullptr; }
    UColor& at(int x, int y) { return pImageData[static_cast<std::size_t>(y) * width + x]; }
    UColor at(int x, int y) const { return pImageData[static_cast<std::size_t>(y) * width + x]; }

    std::uint8_t bHasAlpha = 0;            // 1 for TGA files and blank images, 0 for BMP and JPEG
    std::int32_t width = 0;                // pixels
    std::int32_t height = 0;               // pixels
    std::unique_ptr<UColor[]> pImageData;  // the pixels; null while not decoded
    std::uint32_t flags = 0;               // kMayDelay, kSizeOnly

private:
    void decode();
    void adopt(DecodedImage& image);
    void setPixels(std::unique_ptr<UColor[]> pixels, int newWidth, int newHeight);
    void releasePixels();
    void ditherDiffusion(std::uint8_t mask);
    std::int32_t pixelBytes() const { return 4 * width * height; }
};
