#pragma once
// JPEG files through libjpeg's 6b interface: decoding from bytes in memory, encoding to
// bytes in memory. Damaged data never ends the process here: libjpeg's fatal errors
// come back as a refusal (out.error names "my_error_exit"), and a file that ends early
// makes libjpeg ask for more data, which is refused as "kb_fill_input_buffer".
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "render/DecodedImage.h"

namespace JpegCodec {
// Decodes `size` bytes at `data`; with `sizeOnly` only the header. Colour (3-component)
// output only: greyscale is refused as "Not implemented.", other component counts as
// unsupported. False, with the reason in out.error, for a file it refuses.
bool decode(const std::uint8_t* data, std::size_t size, bool sizeOnly, DecodedImage& out);

// Encodes width x height ARGB pixels (rows from the top, alpha dropped) at `quality`
// (1..100, clamped by libjpeg) into `bytes`. False with libjpeg's message in `error`.
bool encode(std::int32_t width, std::int32_t height, const UColor* pixels, int quality,
            std::vector<std::uint8_t>& bytes, std::u16string& error);
}  // namespace JpegCodec
