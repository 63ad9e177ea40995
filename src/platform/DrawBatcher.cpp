#include "platform/DrawBatcher.h"

#include <epoxy/gl.h>

#include <cstring>

#include "platform/DeviceTexture.h"
#include "platform/DeviceVertexBuffer.h"
#include "platform/TexelMapping.h"

namespace {
// Gathered draws are lists: strips and fans become the triangles (or lines) they stand for.
GLenum listMode(PrimitiveType type) {
    switch (type) {
        case PrimitiveType::kPointList:
            return GL_POINTS;
        case PrimitiveType::kLineList:
        case PrimitiveType::kLineStrip:
            return GL_LINES;
        case PrimitiveType::kTriangleList:
        case PrimitiveType::kTriangleStrip:
        case PrimitiveType::kTriangleFan:
            break;
    }
    return GL_TRIANGLES;
}

// Calls `f` with the vertex numbers of `count` vertices of `type` in list order. A
// strip's every other triangle is turned back to the strip's winding.
template <class F>
void forEachListVertex(PrimitiveType type, int count, F f) {
    switch (type) {
        case PrimitiveType::kLineStrip:
            for (int i = 0; i + 1 < count; ++i) f(i), f(i + 1);
            return;
        case PrimitiveType::kTriangleStrip:
            for (int i = 0; i + 2 < count; ++i) {
                if (i % 2 == 0)
                    f(i), f(i + 1), f(i + 2);
                else
                    f(i + 1), f(i), f(i + 2);
            }
            return;
        case PrimitiveType::kTriangleFan:
            for (int i = 1; i + 1 < count; ++i) f(0), f(i), f(i + 1);
            return;
        case PrimitiveType::kPointList:
        case PrimitiveType::kLineList:
        case PrimitiveType::kTriangleList:
            break;
    }
    for (int i = 0; i < count; ++i) f(i);
}
}  // namespace

// One call draws with one texture, kind of list and alpha test, and with blending on or
// off for all of it. A draw that the blend cannot change (an opaque one) joins either kind.
bool DrawBatcher::canJoin(const Draw& draw) const {
    if (gathered.empty()) return true;
    return batch.texture == draw.texture && batch.mode == listMode(draw.type) &&
           batch.alphaTestRef == draw.alphaTestRef && !(draw.blended && batch.replacing) &&
           !(draw.replacing && batch.blended);
}

void DrawBatcher::append(const Draw& draw, const std::uint8_t* source, int count, const DeviceMatrix& transform) {
    joinState(draw);
    const std::size_t firstPlaced = gathered.size();
    placeVertices(draw, source, count, transform);
    noteExactness(draw, firstPlaced);
}

void DrawBatcher::joinState(const Draw& draw) {
    if (gathered.empty()) {
        batch = State{};
        batch.texture = draw.texture;
        batch.mode = listMode(draw.type);
        batch.alphaTestRef = draw.alphaTestRef;
    }
    batch.blended |= draw.blended;
    batch.replacing |= draw.replacing;
    batch.textureOnly &= draw.textureOnly;
}

// Only the position and the texture coordinates are read: the drawing code gives a draw's
// colour as the texture factor, so the diffuse colour between them plays no part.
void DrawBatcher::placeVertices(const Draw& draw, const std::uint8_t* source, int count,
                                const DeviceMatrix& transform) {
    // Copies, so that the writes to the vertices cannot make the compiler reload them.
    const DeviceMatrix m = transform;
    const std::uint32_t tint = draw.tint;
    const std::uint8_t colourWeight = draw.colourWeight, alphaWeight = draw.alphaWeight;
    forEachListVertex(draw.type, count, [&](int i) {
        const std::uint8_t* vertex = source + static_cast<std::ptrdiff_t>(i) * DeviceVertexBuffer::kStride;
        float p[3], t[2];
        std::memcpy(p, vertex + DeviceVertexBuffer::kPositionOffset, sizeof p);
        std::memcpy(t, vertex + DeviceVertexBuffer::kTexCoordOffset, sizeof t);
        ClipVertex& v = gathered.emplace_back();
        v.x = p[0] * m.m[0][0] + p[1] * m.m[1][0] + p[2] * m.m[2][0] + m.m[3][0];
        v.y = p[0] * m.m[0][1] + p[1] * m.m[1][1] + p[2] * m.m[2][1] + m.m[3][1];
        v.z = p[0] * m.m[0][2] + p[1] * m.m[1][2] + p[2] * m.m[2][2] + m.m[3][2];
        v.w = p[0] * m.m[0][3] + p[1] * m.m[1][3] + p[2] * m.m[2][3] + m.m[3][3];
        v.u = t[0];
        v.v = t[1];
        v.factor = tint;
        v.weights[0] = v.weights[1] = v.weights[2] = colourWeight;
        v.weights[3] = alphaWeight;
    });
}

// Where every pixel centre lands on a texel centre, the filtered sample is that texel,
// which the nearest-texel sampler reads far more cheaply.
void DrawBatcher::noteExactness(const Draw& draw, std::size_t firstPlaced) {
    batch.exact = batch.exact && draw.linearFilter && draw.texture && batch.mode == GL_TRIANGLES &&
                  mapsTexelCentresToPixelCentres(gathered.data() + firstPlaced,
                                                 static_cast<int>(gathered.size() - firstPlaced), draw.viewportWidth,
                                                 draw.viewportHeight, draw.texture->width(), draw.texture->height());
}
