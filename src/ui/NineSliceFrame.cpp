#include "ui/NineSliceFrame.h"

#include <algorithm>
#include <cmath>

#include "engine/Qor.h"
#include "render/Renderable.h"
#include "render/Texture.h"

namespace {
constexpr UColor kWhite = 0xFFFFFFFFu;
constexpr int kRowVertices = 8;
}  // namespace

NineSliceFrame::NineSliceFrame(Quad* source) : pSource(source) {
    if (source) {
        pTexture = source->pTexture;
        uvRect = source->uvRect;
        innerUV = source->uvRect;
    }
    vertexBuffer.resize(kVertices);
    refresh();
}

float NineSliceFrame::sourceWidth() const {
    if (!pSource) return 0.0f;
    if (!pSource->pTexture) return pSource->width;
    return (pSource->uvRect[2] - pSource->uvRect[0]) * static_cast<float>(pSource->pTexture->width);
}

float NineSliceFrame::sourceHeight() const {
    if (!pSource) return 0.0f;
    if (!pSource->pTexture) return pSource->height;
    return std::fabs(pSource->uvRect[1] - pSource->uvRect[3]) * static_cast<float>(pSource->pTexture->height);
}

// Margins are given for the normal-resolution image; a doubled image has doubled ones.
void NineSliceFrame::setMargins(int left, int top, int right, int bottom) {
    margins = {left, top, right, bottom};
    if (pSource && pSource->pTexture) {
        const int k = std::max(1, qor->hq2x);
        const Rect& s = pSource->sourceRect;
        const Rect inner{s.left + left * k, s.top + top * k, s.bottom - bottom * k, s.right - right * k};
        innerUV = pSource->pTexture->getUV(inner);
    }
    refresh();
}

void NineSliceFrame::refresh() { buildVertices(sourceWidth(), sourceHeight()); }

void NineSliceFrame::buildVertices(float w, float h) {
    if (w <= 0.0f) w = sourceWidth();
    if (h <= 0.0f) h = sourceHeight();
    width = w;
    height = h;
    const float x[4] = {-w / 2, -w / 2 + static_cast<float>(margins[0]), w / 2 - static_cast<float>(margins[2]), w / 2};
    const float y[4] = {h / 2, h / 2 - static_cast<float>(margins[1]), -h / 2 + static_cast<float>(margins[3]), -h / 2};
    const float u[4] = {uvRect[0], innerUV[0], innerUV[2], uvRect[2]};
    const float v[4] = {uvRect[1], innerUV[1], innerUV[3], uvRect[3]};
    Vertex* out = vertexBuffer.vertexArray;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) {
            out[kRowVertices * r + 2 * c] = Vertex{x[c], y[r], 0.0f, kWhite, u[c], v[r]};
            out[kRowVertices * r + 2 * c + 1] = Vertex{x[c], y[r + 1], 0.0f, kWhite, u[c], v[r + 1]};
        }
    vertexBuffer.upload();
}

void NineSliceFrame::draw(Renderable& r) {
    vertexBuffer.vertexArray[0].color = r.color;
    if (margins[1] == 0 && margins[3] == 0) {
        vertexBuffer.draw(pTexture, VertexBuffer::kTriangleStrip, kRowVertices, kRowVertices);
        return;
    }
    for (int row = 0; row < 3; ++row)
        vertexBuffer.draw(pTexture, VertexBuffer::kTriangleStrip, row * kRowVertices, kRowVertices);
}
