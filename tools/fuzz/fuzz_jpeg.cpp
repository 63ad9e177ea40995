// JPEG reader: libjpeg over any bytes from memory. Every failure must come back as a
// refusal (never an exit or a read past the input). Pictures over a million pixels are
// only sized: decoding them from a few fuzzed bytes proves nothing more and takes long.
#include <cstdint>

#include "render/JpegCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    DecodedImage header;
    if (!JpegCodec::decode(data, size, true, header)) {
        if (header.error.empty()) __builtin_trap();
        return 0;
    }
    if (static_cast<std::int64_t>(header.width) * header.height > (1 << 20)) return 0;
    DecodedImage image;
    if (JpegCodec::decode(data, size, false, image)) {
        if (!image.pixels || image.width != header.width || image.height != header.height) __builtin_trap();
        (void)*(volatile UColor*)&image.pixels[static_cast<std::size_t>(image.width) * image.height - 1];
    } else if (image.error.empty()) {
        __builtin_trap();
    }
    return 0;
}
