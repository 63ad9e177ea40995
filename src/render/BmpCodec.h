#pragma once
// 24-bit uncompressed BMP files, bottom-up rows. Little-endian layout:
//
//   0  "BM"; 2 u32 file size; 10 u32 offset of the pixel data
//   14 u32 information header size (40 or a later, longer version)
//   18 s32 width, 22 s32 height (positive: rows bottom-up)
//   28 u16 bits per pixel: 24; 30 u32 compression: 0
//
// Each row is width x 3 bytes (blue, green, red) padded to a multiple of 4. The decoded
// pixels are opaque; the file has no alpha. Nothing is trusted: every field is checked
// against the file's size first.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/DecodedImage.h"

namespace BmpCodec {
inline constexpr std::size_t kHeaderBytes = 54;  // file header and the 40-byte information header

// Bytes from one row to the next: width x 3 rounded up to a multiple of 4.
inline std::size_t stride(std::int32_t width) { return (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3}; }

// Decodes `size` bytes at `data`, always with the pixels. False, with the reason in
// out.error, for a file it refuses.
bool decode(const std::uint8_t* data, std::size_t size, DecodedImage& out);

// The bytes of a BMP file of width x height pixels (rows from the top, alpha dropped).
std::vector<std::uint8_t> encode(std::int32_t width, std::int32_t height, const UColor* pixels);
}  // namespace BmpCodec
