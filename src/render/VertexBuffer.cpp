#include "render/VertexBuffer.h"

#include <cstring>

#include "engine/ClassInfo.h"
#include "engine/ErrorManager.h"
#include "engine/Qor.h"
#include "platform/DeviceVertexBuffer.h"
#include "platform/GraphicsDevice.h"
#include "platform/ResultCode.h"
#include "render/QorGraphics.h"
#include "render/Texture.h"

QOR_DEFINE_CLASS(VertexBuffer, QorBase, (&makeInstance<VertexBuffer, BasicLink>))

namespace {
constexpr int kDebugOutline = 0x08;
constexpr int kDebugHighlight = 0x40;
constexpr UColor kHighlightColour = 0x40FFFFFFu;

GraphicsDevice& device() { return *qor->graphics().dxDevice; }
}  // namespace

VertexBuffer::VertexBuffer(int count) { resize(count); }

VertexBuffer::~VertexBuffer() {
    delete dxVBuffer;
    delete[] vertexArray;
}

ClassInfo* VertexBuffer::getClass() const { return &classInfo; }

void VertexBuffer::resize(int n) {
    if (n == vertices) return;
    delete dxVBuffer;
    dxVBuffer = nullptr;
    delete[] vertexArray;
    vertexArray = nullptr;
    // A negative count is no count at all.
    vertices = n > 0 ? n : 0;
    if (vertices > 0) {
        vertexArray = new Vertex[vertices];
        createDXobject();
    }
}

void VertexBuffer::createDXobject() {
    delete dxVBuffer;
    dxVBuffer = nullptr;
    // Without a drawing device (tools, tests) the vertices live in memory only.
    if (!qor->pQorGraphics || !qor->graphics().dxDevice) return;
    dxVBuffer = device().createVertexBuffer(vertices * static_cast<int>(sizeof(Vertex)));
    if (!dxVBuffer)
        callFailedAt("VertexBuffer::createDXobject", __FILE__, __LINE__, ResultCode::kOutOfVideoMemory,
                     "qor->graphics().dxDevice->createVertexBuffer(vertices * sizeof(Vertex))");
}

void VertexBuffer::upload() {
    if (vertices <= 0 || !dxVBuffer) return;
    if (dxVBuffer->upload(vertexArray, vertices * static_cast<int>(sizeof(Vertex))) < 0) return;
    ++qor->counters.vertexBufferWrites;
}

void VertexBuffer::setColor(UColor c, bool all) {
    if (vertices <= 0) return;
    vertexArray[0].color = c;
    if (!all) return;
    for (int i = 0; i < vertices; ++i) vertexArray[i].color = c;
    upload();
}

void VertexBuffer::drawRange(int type, int first, int count) {
    PrimitiveType primitive;
    int primitives;
    switch (type) {
        case kPointList:
            primitive = PrimitiveType::kPointList, primitives = count;
            break;
        case kLineList:
            primitive = PrimitiveType::kLineList, primitives = count / 2;
            break;
        case kLineStrip:
            primitive = PrimitiveType::kLineStrip, primitives = count - 1;
            break;
        case kTriangleList:
            primitive = PrimitiveType::kTriangleList, primitives = count / 3;
            break;
        case kTriangleStrip:
            primitive = PrimitiveType::kTriangleStrip, primitives = count - 2;
            break;
        case kTriangleFan:
            primitive = PrimitiveType::kTriangleFan, primitives = count - 2;
            break;
        default:
            QOR_FATAL("VertexBuffer::draw", u"Unknown primitive type %d", type);
    }
    // Too few vertices for one primitive draws nothing (the device ignores counts <= 0).
    device().setStreamSource(dxVBuffer);
    device().drawPrimitive(primitive, first, primitives);
}

void VertexBuffer::draw(Texture* t, int type, int first, int count) {
    if (vertices <= 0) return;
    if (count < 0) count = vertices - first;
    qor->counters.vertices += count;
    GraphicsDevice& d = device();
    if (!t)
        d.setTexture(nullptr);
    else {
        t->use();
        if (!t->bHasAlpha) d.setBlendEnabled(false);
    }
    if (!qor->graphics().bSilhouettePass) d.setTextureFactor(vertexArray[0].color);
    drawRange(type, first, count);
    if (!t) return;
    if (!t->bHasAlpha) d.setBlendEnabled(true);
    drawOverlays(type, first, count);
}

void VertexBuffer::drawOverlays(int type, int first, int count) {
    const int debug = qor->debugLevel;
    if (debug & kDebugHighlight) {
        const UColor kept = vertexArray[0].color;
        setColor(kHighlightColour, true);
        draw(nullptr, type, first, count);
        setColor(kept, true);
        // The overlay's two uploads are not the object's own work.
        qor->counters.vertexBufferWrites -= 2;
    }
    if (debug & kDebugOutline) draw(nullptr, kLineStrip, first, count);
}

namespace {
void drawTemporary(const Vertex* corners, int count, int type, UColor color) {
    GraphicsDevice& d = device();
    const DeviceMatrix savedWorld = d.getTransform(TransformKind::kWorld);
    d.setTransform(TransformKind::kWorld, DeviceMatrix::identity());
    // A white sprite drawn last leaves the stage selecting the texture, which for an
    // untextured shape is opaque white: the shape must show its own colour.
    const TextureOp savedColorOp = d.getColorOp(), savedAlphaOp = d.getAlphaOp();
    if (!qor->graphics().bSilhouettePass) {
        d.setColorOp(TextureOp::kModulate);
        d.setAlphaOp(TextureOp::kModulate);
    }
    VertexBuffer buffer(count);
    std::memcpy(buffer.vertexArray, corners, sizeof(Vertex) * static_cast<std::size_t>(count));
    buffer.setColor(color, true);
    buffer.draw(nullptr, type, 0, -1);
    d.setColorOp(savedColorOp);
    d.setAlphaOp(savedAlphaOp);
    d.setTransform(TransformKind::kWorld, savedWorld);
}
}  // namespace

void drawFilledRect(const float r[4], UColor color) {
    const Vertex v[4] = {{r[0], r[1], 0, color, 0, 0},
                         {r[2], r[1], 0, color, 0, 0},
                         {r[0], r[3], 0, color, 0, 0},
                         {r[2], r[3], 0, color, 0, 0}};
    drawTemporary(v, 4, VertexBuffer::kTriangleStrip, color);
}

void drawRectOutline(const float r[4], UColor color) {
    const Vertex v[5] = {{r[0], r[1], 0, color, 0, 0},
                         {r[2], r[1], 0, color, 0, 0},
                         {r[2], r[3], 0, color, 0, 0},
                         {r[0], r[3], 0, color, 0, 0},
                         {r[0], r[1], 0, color, 0, 0}};
    drawTemporary(v, 5, VertexBuffer::kLineStrip, color);
}
