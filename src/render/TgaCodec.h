#pragma once
// Uncompressed 32-bit true-colour TGA files (image type 2), the format of every texture
// the game ships. Little-endian header of 18 bytes:
//
//   0  u8   ID field length (the ID field follows the header and is skipped)
//   1  u8   colour-map type (a map, unused by true colour, is skipped)
//   2  u8   image type: 2
//   5  u16  colour-map length, 7 u8 colour-map entry bits
//   12 s16  width, 14 s16 height
//   16 u8   bits per pixel: 32
//   17 u8   descriptor: bit 0x20 (top-down rows) must be clear
//
// then height rows of width x 4 bytes (blue, green, red, alpha), bottom row first.
// Nothing is trusted: every field is checked against the file's size first.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/DecodedImage.h"

namespace TgaCodec {
inline constexpr std::size_t kHeaderBytes = 18;

// Decodes `size` bytes at `data`; with `sizeOnly` only the header (no pixels). False,
// with the reason in out.error, for a file it refuses.
bool decode(const std::uint8_t* data, std::size_t size, bool sizeOnly, DecodedImage& out);

// The bytes of a TGA file of width x height ARGB pixels (rows from the top), stored
// bottom-up with 8 alpha bits. Sides must be 1..65535.
std::vector<std::uint8_t> encode(std::int32_t width, std::int32_t height, const UColor* pixels);
}  // namespace TgaCodec
