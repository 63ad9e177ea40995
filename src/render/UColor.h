#pragma once
// A 32-bit colour: alpha in the top byte, then red, green and blue. Stored little-endian
// (bytes blue, green, red, alpha), the layout of 32-bit ARGB pixels.
#include <cstdint>

using UColor = std::uint32_t;

// `colour` with red, green and blue each multiplied by `factor` and rounded (clamped to
// 0..255); alpha unchanged.
UColor scaleRGB(UColor colour, float factor);
