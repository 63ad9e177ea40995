#pragma once
// A 32-bit colour: alpha in the top byte, then red, green and blue. Stored little-endian
// (bytes blue, green, red, alpha), the layout of 32-bit ARGB pixels.
#include <cstdint>

using UColor = std::uint32_t;
