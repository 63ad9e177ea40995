#pragma once
// Whether a draw samples its texture exactly at texel centres: its texture coordinates
// step one texel per pixel along the pixel axes (either way round) and put texel centres
// on pixel centres. Then a filtered sample is the nearest texel, which a software
// renderer reads several times faster.
//
// `vertices` are `count` device vertices (x, y, z, colour, u, v; DeviceVertexBuffer's
// layout) placed by `transform` (world x view x projection, row vectors) into a viewport
// of `viewportWidth` x `viewportHeight` pixels, drawn with the device's half-pixel shift;
// the texture has `textureWidth` x `textureHeight` texels. Vertices at different depths
// (perspective-correct interpolation) never count as exact.
#include <cstdint>

struct Matrix;

bool mapsTexelCentresToPixelCentres(const std::uint8_t* vertices, int count, const Matrix& transform, int viewportWidth,
                                    int viewportHeight, int textureWidth, int textureHeight);
