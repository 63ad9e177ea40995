#include "ui/QuadFraction.h"

#include "render/Quad.h"

void copyQuadFraction(const Quad& source, Quad& target, float t) {
    target.pTexture = source.pTexture;
    target.uvRect = source.uvRect;
    target.uvRect[2] = source.uvRect[0] + t * (source.uvRect[2] - source.uvRect[0]);
    target.refresh();
    target.setAnchor(4);
}
