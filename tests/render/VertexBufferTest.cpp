#include <gtest/gtest.h>

#include "EngineFixture.h"
#include "ReferenceImage.h"
#include "engine/Qor.h"
#include "platform/GraphicsDevice.h"
#include "render/Context.h"
#include "render/QorGraphics.h"
#include "render/Renderable.h"
#include "render/Texture.h"
#include "render/VertexBuffer.h"

namespace {
class VertexBufferTest : public EngineFixture {};

TEST_F(VertexBufferTest, ResizingToTheSameCountKeepsVerticesAndZeroFreesThem) {
    VertexBuffer buffer(4);
    Vertex* kept = buffer.vertexArray;
    DeviceVertexBuffer* device = buffer.dxVBuffer;
    buffer.resize(4);
    EXPECT_EQ(buffer.vertexArray, kept);
    EXPECT_EQ(buffer.dxVBuffer, device);
    buffer.resize(0);
    EXPECT_EQ(buffer.vertexArray, nullptr);
    EXPECT_EQ(buffer.dxVBuffer, nullptr);
    buffer.resize(-5);
    EXPECT_EQ(buffer.vertices, 0);
}

TEST_F(VertexBufferTest, ColourChangesOfOneVertexStayInMemory) {
    VertexBuffer buffer(3);
    const int writes = qor->counters.vertexBufferWrites;
    buffer.setColor(0xFF123456u, false);
    EXPECT_EQ(qor->counters.vertexBufferWrites, writes);
    buffer.setColor(0xFF654321u, true);
    EXPECT_EQ(buffer.vertexArray[2].color, 0xFF654321u);
    EXPECT_EQ(qor->counters.vertexBufferWrites, writes + 1);
}

TEST_F(VertexBufferTest, DrawingFromTheSecondVertexDrawsOneTriangle) {
    GraphicsDevice& d = *qor->pQorGraphics->dxDevice;
    d.beginScene();
    qor->pQorGraphics->clear();
    d.setTransform(TransformKind::kWorld, Matrix::identity());
    d.setTransform(TransformKind::kView, Matrix::identity());
    d.setTransform(TransformKind::kProjection, Matrix::identity());
    VertexBuffer buffer(4);
    // A strip over the whole viewport in clip space: vertex 0 top-left ... 3 bottom-right.
    const float corners[4][2] = {{-1, 1}, {1, 1}, {-1, -1}, {1, -1}};
    for (int i = 0; i < 4; ++i) buffer.vertexArray[i] = Vertex{corners[i][0], corners[i][1], 0.5f, 0xFFFFFFFFu, 0, 0};
    buffer.upload();
    buffer.draw(nullptr, VertexBuffer::kTriangleStrip, 1, -1);
    EXPECT_EQ(qor->counters.vertices, 3);
    EXPECT_EQ(pixelAt(300, 180), 0xFFFFFFFFu) << "bottom-right half drawn";
    EXPECT_EQ(pixelAt(20, 20), 0xFF000000u) << "top-left half not";
}

TEST_F(VertexBufferTest, TexturesWithoutAlphaDrawOpaqueAndLeaveBlendingOn) {
    auto* scene = new Context();
    Texture* texture = makeTexture(scene, 2, 2, std::vector<std::uint32_t>(4, 0x80FF0000u), false);
    addQuad(scene, 200, 200, 0xFFFFFFFFu, 0, 0, 0.0f, texture);
    runFrame(scene);
    EXPECT_EQ(pixelAt(160, 96) & 0x00FFFFFFu, 0x00FF0000u);
    EXPECT_TRUE(qor->pQorGraphics->dxDevice->isBlendEnabled());
    scene->destroy();
}

TEST_F(VertexBufferTest, AlphaTestedAndBlendedPicture) {
    auto* scene = new Context();
    scene->clearColor = 0xFF205020u;
    // A checkerboard of opaque red and fully transparent texels: the holes show the
    // background whether or not blending is on; the other texels blend as their alpha says.
    std::vector<std::uint32_t> checks(64);
    for (int i = 0; i < 64; ++i) checks[i] = ((i % 8) + (i / 8)) % 2 ? 0x00FFFFFFu : 0xFFFF0000u;
    Texture* holes = makeTexture(scene, 8, 8, checks, true);
    Texture* opaqueHoles = makeTexture(scene, 8, 8, checks, false);
    std::vector<std::uint32_t> ramp(64);
    for (int i = 0; i < 64; ++i) ramp[i] = static_cast<std::uint32_t>((i % 8) * 36) << 24 | 0x0000FFu;
    Texture* fade = makeTexture(scene, 8, 8, ramp, true);
    addQuad(scene, 200, 200, 0xFFFFFFFFu, -250, 100, 0.0f, holes);
    addQuad(scene, 200, 200, 0xFFFFFFFFu, 0, 100, 0.0f, opaqueHoles);
    addQuad(scene, 200, 200, 0xFFFFFFFFu, 250, 100, 0.0f, fade);
    addQuad(scene, 700, 60, 0xFFFFFFFFu, 0, -140);
    addQuad(scene, 200, 200, 0x80FFFFFFu, -150, -140, 0.0f, fade);  // faded twice: texture and colour
    addQuad(scene, 200, 200, 0x00FFFFFFu, 150, -140, 0.0f, holes);  // colour alpha 0: nothing at all
    runFrame(scene);
    int w = 0, h = 0;
    const std::vector<std::uint32_t> pixels = backBuffer(w, h);
    EXPECT_TRUE(ReferenceImage::matches("alpha-test-and-blend", pixels, w, h));
    scene->destroy();
}

// A white sprite leaves the stage selecting the texture; an untextured rectangle drawn
// after it (a screen's dimming panel) still shows its own colour, and the sprite's
// operations are back afterwards.
TEST_F(VertexBufferTest, AFilledRectangleAfterAWhiteSpriteShowsItsOwnColour) {
    GraphicsDevice& d = *qor->pQorGraphics->dxDevice;
    d.beginScene();
    qor->pQorGraphics->clear();
    for (TransformKind kind : {TransformKind::kWorld, TransformKind::kView, TransformKind::kProjection})
        d.setTransform(kind, Matrix::identity());
    d.setColorOp(TextureOp::kSelectTexture);
    d.setAlphaOp(TextureOp::kSelectTexture);
    const float wholeView[4] = {-1.0f, 1.0f, 1.0f, -1.0f};
    drawFilledRect(wholeView, 0xFF0000FFu);
    EXPECT_EQ(pixelAt(160, 100), 0xFF0000FFu);
    EXPECT_EQ(d.getColorOp(), TextureOp::kSelectTexture);
    EXPECT_EQ(d.getAlphaOp(), TextureOp::kSelectTexture);
}
}  // namespace
