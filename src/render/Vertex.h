#pragma once
// One vertex of every drawn shape, exactly as vertex buffers hold it: 24 bytes.
#include <cstdint>

#include "render/UColor.h"

struct Vertex {
    float x, y, z;  // position in the drawing object's own space
    UColor color;   // diffuse colour (only vertex 0's is used: as the tint of the draw)
    float u, v;     // texture coordinates, 0..1 across the texture, v from the top
};
static_assert(sizeof(Vertex) == 24, "vertex buffers rely on the 24-byte layout");

// The vertex format code of that layout (position, diffuse colour, one texture pair).
inline constexpr std::uint32_t D3DFVF_QORVERTEX = 0x142;
