#include "render/Quad.h"

#include <cmath>

#include "engine/ClassInfo.h"
#include "render/Renderable.h"
#include "render/Texture.h"

QOR_DEFINE_CLASS(Quad, Skin, (&makeInstance<Quad, BasicLink>))

namespace {
constexpr UColor kWhite = 0xFFFFFFFFu;
}

Quad::Quad() {
    vertexBuffer.resize(4);
    // Defined vertices from the start: a quad drawn before it is sized draws nothing.
    setSize(0.0f, 0.0f);
}

ClassInfo* Quad::getClass() const { return &classInfo; }

void Quad::draw(Renderable& r) {
    // Only in memory: the colour travels as the texture factor, not as vertex data.
    vertexBuffer.vertexArray[0].color = r.color;
    vertexBuffer.draw(pTexture, VertexBuffer::kTriangleStrip, 0, -1);
}

void Quad::refresh() {
    if (!pTexture) return;
    setSize((uvRect[2] - uvRect[0]) * static_cast<float>(pTexture->width),
            std::fabs(uvRect[1] - uvRect[3]) * static_cast<float>(pTexture->height));
}

void Quad::setSourceRect(int left, int top, int bottom, int right) {
    sourceRect = Rect{left, top, bottom, right};
    if (pTexture) uvRect = pTexture->getUV(sourceRect);
    refresh();
}

void Quad::setSize(float w, float h) {
    width = w;
    height = h;
    Vertex* v = vertexBuffer.vertexArray;
    v[0] = Vertex{-w / 2.0f, h / 2.0f, 0.0f, kWhite, uvRect[0], uvRect[1]};
    v[1] = Vertex{w / 2.0f, h / 2.0f, 0.0f, kWhite, uvRect[2], uvRect[1]};
    v[2] = Vertex{-w / 2.0f, -h / 2.0f, 0.0f, kWhite, uvRect[0], uvRect[3]};
    v[3] = Vertex{w / 2.0f, -h / 2.0f, 0.0f, kWhite, uvRect[2], uvRect[3]};
    vertexBuffer.upload();
}
