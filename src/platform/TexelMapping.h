#pragma once
// Whether a draw samples its texture exactly at texel centres: its texture coordinates
// step one texel per pixel along the pixel axes (either way round) and put texel centres
// on pixel centres. Then a filtered sample is the nearest texel, which a software
// renderer reads several times faster.
//
// `vertices` are `count` vertices in clip space, to be drawn with the device's
// half-pixel shift into a viewport of `viewportWidth` x `viewportHeight` pixels; the
// texture has `textureWidth` x `textureHeight` texels. Vertices at different depths
// (perspective-correct interpolation) never count as exact.
struct ClipVertex;

bool mapsTexelCentresToPixelCentres(const ClipVertex* vertices, int count, int viewportWidth, int viewportHeight,
                                    int textureWidth, int textureHeight);
