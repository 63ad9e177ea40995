#pragma once
// Turns a texture recipe into a finished texture: renders every cell of every frame group
// from its SVG drawing, packs the cells row by row into the image width and records one
// skin per cell in recipe order.

#include <string>

#include "BakedTexture.h"
#include "Recipe.h"
#include "SvgTemplate.h"

namespace artbake {

class AtlasBuilder {
public:
    // svgFolder holds the drawings named by the recipe. Throws std::runtime_error when a
    // drawing fails or the packed image exceeds the recipe's size limit.
    static BakedTexture build(const Recipe& recipe, const std::string& svgFolder, const Palette& palette);

    // Gives fully transparent pixels the colour of their nearest visible neighbours, so that
    // filtered sampling at sprite edges blends toward the sprite's own colours, not black.
    static void bleedEdges(Image& image, int passes);
};

}  // namespace artbake
