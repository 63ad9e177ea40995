#pragma once
// What an image decoder hands back: the size, the alpha flag and the pixels, or why the
// file was refused. Decoders never act on a refusal themselves; MemoryImageFile turns it
// into the fatal format error, the fuzz targets just note it.
#include <cstdint>
#include <memory>
#include <string>

#include "render/UColor.h"

struct DecodedImage {
    // The largest image any decoder accepts: a side of 16384 pixels and 2^26 pixels in
    // all (256 MB of pixels). Larger sizes in a header are damage, not pictures.
    static constexpr std::int32_t kMaxSide = 16384;
    static constexpr std::int64_t kMaxPixels = std::int64_t{1} << 26;

    // True when both sides are at least 1 and the image is within the limits above.
    static bool isAcceptableSize(std::int64_t width, std::int64_t height) {
        return width >= 1 && height >= 1 && width <= kMaxSide && height <= kMaxSide && width * height <= kMaxPixels;
    }

    std::int32_t width = 0;   // pixels
    std::int32_t height = 0;  // pixels
    std::uint8_t bHasAlpha = 0;
    // width x height ARGB pixels, rows from the top; null after a size-only read or a
    // refusal.
    std::unique_ptr<UColor[]> pixels;
    // On refusal: the function the error is reported from and the message.
    const char* errorFunction = "";
    std::u16string error;
    // A warning of the decoder about damaged but decodable data; empty when none.
    std::u16string warning;
};
