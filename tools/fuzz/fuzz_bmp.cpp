// BMP reader: any bytes either decode into exactly width x height opaque pixels or are
// refused with a reason; nothing is read outside the input.
#include <cstdint>

#include "render/BmpCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    DecodedImage image;
    if (!BmpCodec::decode(data, size, image)) {
        if (image.error.empty() || image.pixels) __builtin_trap();
        return 0;
    }
    const std::size_t count = static_cast<std::size_t>(image.width) * image.height;
    for (std::size_t i = 0; i < count; ++i)
        if ((image.pixels[i] >> 24) != 0xFF) __builtin_trap();
    return 0;
}
