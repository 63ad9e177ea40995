// TGA reader: any bytes either decode into exactly width x height pixels or are refused
// with a reason; nothing is read outside the input.
#include <cstdint>

#include "render/TgaCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    DecodedImage header;
    const bool sized = TgaCodec::decode(data, size, true, header);
    DecodedImage image;
    const bool decoded = TgaCodec::decode(data, size, false, image);
    if (sized != decoded || (decoded && !image.pixels) || (!decoded && image.error.empty())) __builtin_trap();
    if (decoded && (image.width != header.width || image.height != header.height)) __builtin_trap();
    // Touch the last pixel, so that a short allocation shows.
    if (decoded) (void)*(volatile UColor*)&image.pixels[static_cast<std::size_t>(image.width) * image.height - 1];
    return 0;
}
