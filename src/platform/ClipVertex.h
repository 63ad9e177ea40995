#pragma once
// One vertex as the drawing device sends it to OpenGL: placed in clip space, with its
// texture coordinates, its draw's tint and its stage weights (0 or 255: the texture's
// share of the colour and of the alpha).
#include <cstdint>

struct ClipVertex {
    float x, y, z, w;
    float u, v;
    std::uint32_t factor;     // ARGB
    std::uint8_t weights[4];  // colour, colour, colour, alpha
};
