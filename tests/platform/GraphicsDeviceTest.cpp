#include <SDL.h>
#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "../render/EngineFixture.h"
#include "engine/Qor.h"
#include "platform/DeviceTexture.h"
#include "platform/DeviceVertexBuffer.h"
#include "platform/GlCheck.h"
#include "platform/GraphicsDevice.h"
#include "platform/ResultCode.h"
#include "platform/Window.h"
#include "render/QorGraphics.h"
#include "render/Vertex.h"
#include "support/ScopedVariable.h"
#include "support/TestVideo.h"
#include "support/XServer.h"

namespace {
constexpr std::uint32_t kBlack = 0xFF000000u;
constexpr std::uint32_t kGreen = 0xFF00FF00u;

// Draws straight on the device, in back-buffer pixels (x right, y down), with every
// transform an orthographic map of the whole back buffer.
class GraphicsDeviceTest : public EngineFixture {
protected:
    void SetUp() override {
        EngineFixture::SetUp();
        if (!started) return;
        device = qor->pQorGraphics->dxDevice;
        device->beginScene();
        device->setViewport(DeviceViewport{0, 0, 320, 192, 0.0f, 1.0f});
        device->clear(kBlack);
        DeviceMatrix pixels = DeviceMatrix::identity();
        pixels.m[0][0] = 2.0f / 320.0f;
        pixels.m[1][1] = -2.0f / 192.0f;
        pixels.m[3][0] = -1.0f;
        pixels.m[3][1] = 1.0f;
        device->setTransform(TransformKind::kWorld, pixels);
        device->setTransform(TransformKind::kView, DeviceMatrix::identity());
        device->setTransform(TransformKind::kProjection, DeviceMatrix::identity());
        device->setColorOp(TextureOp::kSelectFactor);
        device->setAlphaOp(TextureOp::kSelectFactor);
        device->setTextureFactor(kGreen);
        buffer.reset(device->createVertexBuffer(4 * sizeof(Vertex)));
    }
    void drawRect(float x0, float y0, float x1, float y1, int primitives = 2) {
        const Vertex v[4] = {{x0, y0, 0, 0, 0, 0}, {x1, y0, 0, 0, 1, 0}, {x0, y1, 0, 0, 0, 1}, {x1, y1, 0, 0, 1, 1}};
        buffer->upload(v, sizeof v);
        device->setStreamSource(buffer.get());
        device->drawPrimitive(PrimitiveType::kTriangleStrip, 0, primitives);
    }
    // A texture of one texel, made the stage's texture.
    std::unique_ptr<DeviceTexture> bindTexel(std::uint32_t argb) {
        std::unique_ptr<DeviceTexture> texture(device->createTexture(1, 1));
        texture->update(0, 0, 1, 1, &argb, 1);
        device->setTexture(texture.get());
        return texture;
    }
    GraphicsDevice* device = nullptr;
    std::unique_ptr<DeviceVertexBuffer> buffer;
};

TEST_F(GraphicsDeviceTest, PixelCentresLieOnWholeCoordinates) {
    // Edges half-way between pixel centres: the covered pixels start at column 1, row 1.
    drawRect(0.5f, 0.5f, 10.5f, 4.5f);
    EXPECT_EQ(pixelAt(0, 2), kBlack);
    EXPECT_EQ(pixelAt(1, 1), kGreen);
    EXPECT_EQ(pixelAt(10, 4), kGreen);
    EXPECT_EQ(pixelAt(11, 4), kBlack);
    EXPECT_EQ(pixelAt(10, 5), kBlack);
}

TEST_F(GraphicsDeviceTest, ViewportsCountFromTheTopAndClearOnlyThemselves) {
    device->setViewport(DeviceViewport{10, 20, 30, 40, 0.0f, 1.0f});
    device->clear(0xFFFF0000u);
    EXPECT_EQ(pixelAt(10, 20), 0xFFFF0000u);
    EXPECT_EQ(pixelAt(39, 59), 0xFFFF0000u);
    EXPECT_EQ(pixelAt(9, 20), kBlack);
    EXPECT_EQ(pixelAt(40, 59), kBlack);
    EXPECT_EQ(pixelAt(39, 60), kBlack);
    EXPECT_LT(device->setViewport(DeviceViewport{300, 0, 30, 10, 0.0f, 1.0f}), 0) << "outside the back buffer";
}

TEST_F(GraphicsDeviceTest, AnEmptyStageReadsOpaqueWhite) {
    device->setColorOp(TextureOp::kModulate);
    device->setAlphaOp(TextureOp::kModulate);
    device->setTexture(nullptr);
    drawRect(0, 0, 8, 8);
    EXPECT_EQ(pixelAt(4, 4), kGreen);
    device->setColorOp(TextureOp::kSelectTexture);
    drawRect(0, 0, 8, 8);
    EXPECT_EQ(pixelAt(4, 4), 0xFFFFFFFFu);
}

TEST_F(GraphicsDeviceTest, TexturesAreAddressedFromTheTopLeft) {
    std::unique_ptr<DeviceTexture> texture(device->createTexture(2, 2));
    const std::uint32_t texels[4] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFF00u};
    ASSERT_EQ(texture->update(0, 0, 2, 2, texels, 2), ResultCode::kOk);
    EXPECT_LT(texture->update(1, 1, 2, 2, texels, 2), 0) << "a block that does not fit";
    device->setLinearFilter(false);
    device->setTexture(texture.get());
    device->setColorOp(TextureOp::kSelectTexture);
    drawRect(0, 0, 20, 20);
    EXPECT_EQ(pixelAt(2, 2), 0xFFFF0000u);
    EXPECT_EQ(pixelAt(17, 2), 0xFF00FF00u);
    EXPECT_EQ(pixelAt(2, 17), 0xFF0000FFu);
    EXPECT_EQ(pixelAt(17, 17), 0xFFFFFF00u);
}

// Filtering picks the nearest texel where pixel centres hit texel centres; that must not
// change a pixel, and every other draw must still be filtered.
TEST_F(GraphicsDeviceTest, FilteringIsExactOnTexelCentresAndBlendsBetweenThem) {
    std::unique_ptr<DeviceTexture> texture(device->createTexture(4, 1));
    const std::uint32_t texels[4] = {0xFF000000u, 0xFFFF0000u, 0xFF00FF00u, 0xFFFFFFFFu};
    texture->update(0, 0, 4, 1, texels, 4);
    device->setLinearFilter(true);
    device->setTexture(texture.get());
    device->setColorOp(TextureOp::kSelectTexture);
    device->setAlphaOp(TextureOp::kSelectTexture);
    auto drawStrip = [&](float x0, float x1, float u0, float u1) {
        const Vertex v[4] = {
            {x0, 9.5f, 0, 0, u0, 0}, {x1, 9.5f, 0, 0, u1, 0}, {x0, 10.5f, 0, 0, u0, 1}, {x1, 10.5f, 0, 0, u1, 1}};
        buffer->upload(v, sizeof v);
        device->setStreamSource(buffer.get());
        device->drawPrimitive(PrimitiveType::kTriangleStrip, 0, 2);
    };
    drawStrip(9.5f, 13.5f, 0.0f, 1.0f);  // pixels 10..13, one texel each
    for (int i = 0; i < 4; ++i) EXPECT_EQ(pixelAt(10 + i, 10), texels[i]) << i;
    drawStrip(23.5f, 19.5f, 0.0f, 1.0f);  // mirrored: pixels 20..23 from the right
    for (int i = 0; i < 4; ++i) EXPECT_EQ(pixelAt(23 - i, 10), texels[i]) << i;
    drawStrip(30.0f, 34.0f, 0.0f, 1.0f);  // half a pixel off: each pixel between two texels
    EXPECT_NEAR(static_cast<int>((pixelAt(32, 10) >> 8) & 0xFF), 0x80, 2) << "red and green mixed";
    EXPECT_NEAR(static_cast<int>((pixelAt(32, 10) >> 16) & 0xFF), 0x80, 2);
    drawStrip(39.5f, 47.5f, 0.0f, 1.0f);  // twice the size
    EXPECT_NE(pixelAt(42, 10), texels[1]);
    EXPECT_NE(pixelAt(42, 10), texels[2]);
}

TEST_F(GraphicsDeviceTest, AViewportsPixelsGoIntoATextureAndComeBackUnchanged) {
    device->setViewport(DeviceViewport{10, 20, 30, 40, 0.0f, 1.0f});
    device->clear(0xFFFF0000u);
    device->setViewport(DeviceViewport{0, 0, 320, 192, 0.0f, 1.0f});
    drawRect(14.5f, 24.5f, 16.5f, 26.5f);  // a green square inside the red
    std::unique_ptr<DeviceTexture> kept(device->createTexture(30, 40));
    std::unique_ptr<DeviceTexture> small(device->createTexture(30, 39));
    device->setViewport(DeviceViewport{10, 20, 30, 40, 0.0f, 1.0f});
    ASSERT_TRUE(device->copyViewportTo(*kept));
    EXPECT_FALSE(device->copyViewportTo(*small)) << "smaller than the viewport";
    device->clear(kBlack);
    EXPECT_FALSE(device->copyViewportFrom(*small));
    EXPECT_EQ(pixelAt(10, 20), kBlack);
    ASSERT_TRUE(device->copyViewportFrom(*kept));
    EXPECT_EQ(pixelAt(10, 20), 0xFFFF0000u);
    EXPECT_EQ(pixelAt(39, 59), 0xFFFF0000u);
    EXPECT_EQ(pixelAt(15, 25), kGreen);
    EXPECT_EQ(pixelAt(17, 25), 0xFFFF0000u);
    EXPECT_EQ(pixelAt(9, 20), kBlack) << "only the viewport";
    EXPECT_EQ(pixelAt(40, 20), kBlack);
    // The benchmarks' replay makes the same copy, so the hook hands it over too.
    std::vector<GraphicsDevice::SentBatch> sent;
    device->sentBatches = &sent;
    ASSERT_TRUE(device->copyViewportFrom(*kept));
    device->sentBatches = nullptr;
    ASSERT_EQ(sent.size(), 1u);
    const DeviceViewport& to = sent[0].copiedTo;
    EXPECT_NE(sent[0].texture, 0u);
    EXPECT_TRUE(sent[0].vertices.empty());
    EXPECT_EQ((std::vector<int>{to.x, to.y, to.width, to.height}), (std::vector<int>{10, 192 - 20 - 40, 30, 40}))
        << "OpenGL rows count from the bottom";
}

TEST_F(GraphicsDeviceTest, AClearCoveredByACopyIsDroppedAndAnyOtherKept) {
    std::unique_ptr<DeviceTexture> kept(device->createTexture(30, 40));
    device->setViewport(DeviceViewport{10, 20, 30, 40, 0.0f, 1.0f});
    device->clear(0xFF0000FFu);
    ASSERT_TRUE(device->copyViewportTo(*kept));  // blue
    device->setViewport(DeviceViewport{0, 0, 320, 192, 0.0f, 1.0f});
    device->clear(0xFFFF0000u);
    device->setViewport(DeviceViewport{10, 20, 30, 40, 0.0f, 1.0f});
    ASSERT_TRUE(device->copyViewportFrom(*kept));  // covers only part of the red
    EXPECT_EQ(pixelAt(15, 25), 0xFF0000FFu);
    EXPECT_EQ(pixelAt(5, 5), 0xFFFF0000u);
    device->clear(kGreen);  // covered whole by the copy
    ASSERT_TRUE(device->copyViewportFrom(*kept));
    EXPECT_EQ(pixelAt(15, 25), 0xFF0000FFu);
    device->clear(kGreen);
    drawRect(0, 0, 1, 1);  // a draw keeps the clear under it
    EXPECT_EQ(pixelAt(15, 25), kGreen);
}

TEST_F(GraphicsDeviceTest, ATextureIsOpaqueOnlyWhileEveryTexelLastGotFullAlpha) {
    std::unique_ptr<DeviceTexture> texture(device->createTexture(4, 2));
    const std::uint32_t opaque[8] = {kGreen, kGreen, kGreen, kGreen, kGreen, kGreen, kGreen, kGreen};
    const std::uint32_t clear = 0x0000FF00u;
    EXPECT_FALSE(texture->isOpaque()) << "contents start undefined";
    texture->update(0, 0, 4, 1, opaque, 4);
    texture->update(1, 1, 3, 1, opaque, 4);
    EXPECT_FALSE(texture->isOpaque()) << "texel (0, 1) was never written";
    texture->update(0, 1, 1, 1, opaque, 4);
    EXPECT_TRUE(texture->isOpaque()) << "covered in pieces";
    texture->update(2, 0, 1, 1, &clear, 1);
    EXPECT_FALSE(texture->isOpaque());
    texture->update(2, 0, 1, 1, opaque, 1);
    EXPECT_FALSE(texture->isOpaque()) << "the rest of the row is not remembered once broken";
    texture->update(0, 0, 4, 2, opaque, 4);
    EXPECT_TRUE(texture->isOpaque());
}

TEST_F(GraphicsDeviceTest, OpaqueTexturesStillBlendWhereTheTintOrTheirTexelsAreTranslucent) {
    const std::uint32_t red = 0xFFFF0000u, halfRed = 0x80FF0000u;
    std::unique_ptr<DeviceTexture> texture = bindTexel(red);
    device->setColorOp(TextureOp::kSelectTexture);
    device->setAlphaOp(TextureOp::kModulate);
    device->setTextureFactor(0x80FFFFFFu);  // half the tint's alpha: the black shows through
    drawRect(0, 0, 8, 8);
    EXPECT_NEAR(static_cast<int>((pixelAt(4, 4) >> 16) & 0xFF), 0x80, 1);
    device->setTextureFactor(0xFFFFFFFFu);
    drawRect(0, 0, 8, 8);
    EXPECT_EQ(pixelAt(4, 4), red);
    device->clear(kBlack);
    texture->update(0, 0, 1, 1, &halfRed, 1);  // the texture, already bound, turns translucent
    drawRect(0, 0, 8, 8);
    EXPECT_NEAR(static_cast<int>((pixelAt(4, 4) >> 16) & 0xFF), 0x80, 1);
}

TEST_F(GraphicsDeviceTest, TheAlphaTestDropsTransparentPixelsEvenWithoutBlending) {
    device->setBlendEnabled(false);
    device->setAlphaTest(true, 0);
    device->setTextureFactor(0x0000FF00u);
    drawRect(0, 0, 8, 8);
    EXPECT_EQ(pixelAt(4, 4), kBlack);
    device->setTextureFactor(0x0100FF00u);
    drawRect(0, 0, 8, 8);
    EXPECT_EQ(pixelAt(4, 4) & 0x00FFFFFFu, 0x0000FF00u);
}

TEST_F(GraphicsDeviceTest, WithBlendingTheAlphaTestDropsOnlyBelowItsReference) {
    device->setAlphaTest(true, 0);
    device->setColorOp(TextureOp::kSelectFactor);
    device->setTextureFactor(0x00FF0000u);  // transparent red leaves the pixel alone
    drawRect(0, 0, 8, 8);
    EXPECT_EQ(pixelAt(4, 4), kBlack);
    device->setAlphaTest(true, 128);
    device->setTextureFactor(0x7FFF0000u);  // half red, below the reference: dropped
    drawRect(0, 0, 8, 8);
    EXPECT_EQ(pixelAt(4, 4), kBlack);
    device->setTextureFactor(0x81FF0000u);
    drawRect(0, 0, 8, 8);
    EXPECT_NEAR(static_cast<int>((pixelAt(4, 4) >> 16) & 0xFF), 0x81, 1);
}

TEST_F(GraphicsDeviceTest, StateChangesBetweenDrawsReachEveryKindOfDraw) {
    // Draws alternate between textured, tinted and tested drawing; each keeps the
    // transform, viewport and tint set for it.
    const std::uint32_t white = 0xFFFFFFFFu;
    std::unique_ptr<DeviceTexture> texture = bindTexel(white);
    device->setColorOp(TextureOp::kSelectTexture);
    device->setAlphaOp(TextureOp::kSelectTexture);
    device->setTextureFactor(0xFFFF0000u);  // not used while the texture is selected
    drawRect(0, 0, 8, 8);
    device->setColorOp(TextureOp::kModulate);
    device->setAlphaOp(TextureOp::kModulate);
    device->setTextureFactor(0xFF00FFFFu);
    drawRect(10, 0, 18, 8);
    device->setBlendEnabled(false);
    device->setAlphaTest(true, 0);
    device->setColorOp(TextureOp::kSelectTexture);
    device->setAlphaOp(TextureOp::kSelectTexture);
    device->setViewport(DeviceViewport{160, 0, 160, 96, 0.0f, 1.0f});  // half the scale across
    drawRect(40, 0, 48, 8);
    device->setBlendEnabled(true);
    device->setViewport(DeviceViewport{0, 0, 320, 192, 0.0f, 1.0f});
    device->setColorOp(TextureOp::kSelectFactor);
    device->setTextureFactor(0xFFFFFF00u);
    drawRect(30, 0, 38, 8);
    EXPECT_EQ(pixelAt(4, 4), white);
    EXPECT_EQ(pixelAt(14, 4), 0xFF00FFFFu) << "white times cyan";
    EXPECT_EQ(pixelAt(182, 2), white) << "x 40..48 of a 160-wide viewport at 160, at half scale";
    EXPECT_EQ(pixelAt(34, 4), 0xFFFFFF00u);
    EXPECT_EQ(pixelAt(44, 4), kBlack);
}

TEST_F(GraphicsDeviceTest, EmptyOrOverlongDrawsDrawNothing) {
    drawRect(0, 0, 8, 8, 0);
    drawRect(0, 0, 8, 8, -3);
    EXPECT_EQ(pixelAt(4, 4), kBlack);
    EXPECT_EQ(device->drawPrimitive(PrimitiveType::kTriangleStrip, 1, 3), ResultCode::kInvalidCall);
    EXPECT_EQ(pixelAt(4, 4), kBlack);
}

TEST_F(GraphicsDeviceTest, AFailedResetLeavesTheDeviceNotResetUntilOneSucceeds) {
    PresentParameters p = device->presentParameters();
    PresentParameters huge = p;
    huge.backBufferWidth = device->maxTextureSize() + 1;
    EXPECT_LT(device->reset(huge), 0);
    EXPECT_EQ(device->testCooperativeLevel(), ResultCode::kDeviceNotReset);
    EXPECT_EQ(device->present(), ResultCode::kDeviceLost);
    p.backBufferWidth = 100;
    p.backBufferHeight = 60;
    ASSERT_EQ(device->reset(p), ResultCode::kOk);
    EXPECT_EQ(device->testCooperativeLevel(), ResultCode::kOk);
    int w = 0, h = 0;
    backBuffer(w, h);
    EXPECT_EQ(w, 100);
    EXPECT_EQ(h, 60);
}

TEST_F(GraphicsDeviceTest, ADrawTakesItsVerticesAsTheyAreWhenItIsMade) {
    auto rect = [](float x0, float x1) {
        return std::vector<Vertex>{{x0, 0, 0, 0, 0, 0}, {x1, 0, 0, 0, 0, 0}, {x0, 8, 0, 0, 0, 0}, {x1, 8, 0, 0, 0, 0}};
    };
    std::unique_ptr<DeviceVertexBuffer> a(device->createVertexBuffer(96));
    device->setStreamSource(a.get());
    a->upload(rect(0, 8).data(), 96);
    device->drawPrimitive(PrimitiveType::kTriangleStrip, 0, 2);
    a->upload(rect(20, 28).data(), 96);  // rewritten before the first draw reached the screen
    device->drawPrimitive(PrimitiveType::kTriangleStrip, 0, 2);
    a.reset();  // and gone
    EXPECT_EQ(pixelAt(4, 4), kGreen);
    EXPECT_EQ(pixelAt(24, 4), kGreen);
    EXPECT_EQ(pixelAt(14, 4), kBlack);
}

// Draws are gathered and sent together; each must still look as if drawn alone, in order.
TEST_F(GraphicsDeviceTest, GatheredDrawsKeepTheirOrderTintsAndStages) {
    const std::uint32_t white = 0xFFFFFFFFu;
    std::unique_ptr<DeviceTexture> texture = bindTexel(white);
    device->setTextureFactor(0xFFFF0000u);
    drawRect(0, 0, 16, 8);  // red
    device->setTextureFactor(kGreen);
    drawRect(8, 0, 24, 8);  // green over half of it
    device->setColorOp(TextureOp::kSelectTexture);
    drawRect(20, 0, 28, 8);  // the white texel, whatever the factor
    device->setColorOp(TextureOp::kModulate);
    device->setAlphaOp(TextureOp::kModulate);
    device->setTextureFactor(0x800000FFu);
    drawRect(0, 0, 4, 8);  // half blue over the red
    device->setBlendEnabled(false);
    drawRect(24, 0, 28, 8);  // half blue written as it is, not blended
    EXPECT_EQ(pixelAt(12, 4), kGreen);
    EXPECT_EQ(pixelAt(6, 4), 0xFFFF0000u);
    EXPECT_EQ(pixelAt(22, 4), white);
    EXPECT_NEAR(static_cast<int>((pixelAt(2, 4) >> 16) & 0xFF), 0x7F, 1);
    EXPECT_NEAR(static_cast<int>(pixelAt(2, 4) & 0xFF), 0x80, 1);
    EXPECT_EQ(pixelAt(26, 4), 0x800000FFu);
}

TEST_F(GraphicsDeviceTest, ATextureChangedBetweenDrawsGivesEachDrawItsTexelsOfTheTime) {
    const std::uint32_t red = 0xFFFF0000u, blue = 0xFF0000FFu;
    std::unique_ptr<DeviceTexture> texture = bindTexel(red);
    device->setColorOp(TextureOp::kSelectTexture);
    drawRect(0, 0, 8, 8);
    texture->update(0, 0, 1, 1, &blue, 1);
    drawRect(10, 0, 18, 8);
    std::unique_ptr<DeviceTexture> gone = bindTexel(red);
    drawRect(20, 0, 28, 8);
    gone.reset();  // deleted right after its draw
    EXPECT_EQ(pixelAt(4, 4), red);
    EXPECT_EQ(pixelAt(14, 4), blue);
    EXPECT_EQ(pixelAt(24, 4), red);
}

TEST_F(GraphicsDeviceTest, FansAndLineStripsDrawWhatTheyStandFor) {
    const Vertex v[4] = {
        {0.5f, 0.5f, 0, 0, 0, 0}, {10.5f, 0.5f, 0, 0, 0, 0}, {10.5f, 10.5f, 0, 0, 0, 0}, {0.5f, 10.5f, 0, 0, 0, 0}};
    buffer->upload(v, sizeof v);
    device->setStreamSource(buffer.get());
    device->drawPrimitive(PrimitiveType::kTriangleFan, 0, 2);
    EXPECT_EQ(pixelAt(2, 9), kGreen);
    EXPECT_EQ(pixelAt(9, 2), kGreen);
    device->clear(kBlack);
    // Lines run through pixel centres: along row 1, then down column 10.
    const Vertex line[3] = {{1, 1, 0, 0, 0, 0}, {10, 1, 0, 0, 0, 0}, {10, 9, 0, 0, 0, 0}};
    buffer->upload(line, sizeof line);
    device->drawPrimitive(PrimitiveType::kLineStrip, 0, 2);
    EXPECT_EQ(pixelAt(5, 1), kGreen);
    EXPECT_EQ(pixelAt(10, 5), kGreen);
    EXPECT_EQ(pixelAt(5, 5), kBlack) << "no segment back to the start";
}

TEST_F(GraphicsDeviceTest, BackBufferPointsMapThroughTheScalingAndBarsIntoTheWindow) {
    // The test window is 320 x 192.
    PresentParameters p = device->presentParameters();
    p.backBufferWidth = 160;
    p.backBufferHeight = 96;
    ASSERT_EQ(device->reset(p), ResultCode::kOk);
    float x = 0, y = 0;
    device->backBufferToWindow(50, 25, x, y);
    EXPECT_FLOAT_EQ(x, 100.0f);
    EXPECT_FLOAT_EQ(y, 50.0f);
    p.backBufferWidth = 320;
    p.backBufferHeight = 96;
    ASSERT_EQ(device->reset(p), ResultCode::kOk);
    device->backBufferToWindow(10, 0, x, y);  // bars of 48 pixels above and below
    EXPECT_FLOAT_EQ(x, 10.0f);
    EXPECT_FLOAT_EQ(y, 48.0f);
}

// A window of the back buffer's size is drawn into straight, without an off-screen copy;
// the frame still reads back and copies as it does off-screen, on either side of the swap.
TEST_F(GraphicsDeviceTest, AWindowOfTheBackBuffersSizeIsDrawnIntoStraightAndReadsAsTheOffScreenBuffer) {
    int w = 0, h = 0;
    window.surfaceSize(w, h);
    ASSERT_GE(w, 60);
    ASSERT_GE(h, 80);
    // A back buffer of `width` x `height` with a frame begun, drawn in its pixels.
    const auto startFrame = [this](int width, int height) {
        PresentParameters p = device->presentParameters();
        p.backBufferWidth = width;
        p.backBufferHeight = height;
        ASSERT_EQ(device->reset(p), ResultCode::kOk);
        device->present();  // a window's new size may reach its driver only with a swap
        ASSERT_EQ(device->beginScene(), ResultCode::kOk);
        DeviceMatrix pixels = device->getTransform(TransformKind::kWorld);
        pixels.m[0][0] = 2.0f / static_cast<float>(width);
        pixels.m[1][1] = -2.0f / static_cast<float>(height);
        device->setTransform(TransformKind::kWorld, pixels);
        device->clear(kBlack);
    };
    startFrame(w, h);
    ASSERT_TRUE(device->drawsIntoWindow());
    device->setViewport(DeviceViewport{10, 20, 30, 40, 0.0f, 1.0f});
    device->clear(0xFFFF0000u);
    device->setViewport(DeviceViewport{0, 0, w, h, 0.0f, 1.0f});
    drawRect(14.5f, 24.5f, 16.5f, 26.5f);  // green, near the red block's top-left corner
    std::unique_ptr<DeviceTexture> kept(device->createTexture(30, 40));
    device->setViewport(DeviceViewport{10, 20, 30, 40, 0.0f, 1.0f});
    ASSERT_TRUE(device->copyViewportTo(*kept));
    device->clear(kBlack);
    ASSERT_TRUE(device->copyViewportFrom(*kept));
    const auto expectBlock = [this](const char* where) {
        EXPECT_EQ(pixelAt(15, 25), kGreen) << where << ": the rows the right way up";
        EXPECT_EQ(pixelAt(15, 55), 0xFFFF0000u) << where;
        EXPECT_EQ(pixelAt(10, 20), 0xFFFF0000u) << where;
        EXPECT_EQ(pixelAt(39, 59), 0xFFFF0000u) << where;
        EXPECT_EQ(pixelAt(9, 20), kBlack) << where << ": only the viewport";
        EXPECT_EQ(pixelAt(40, 60), kBlack) << where;
    };
    expectBlock("pasted into the window");
    device->present();
    expectBlock("read after the swap");
    // Without a copy kept at the swap, the frame is read from where the window shows it.
    // On the tests' shared X server another test's window may lie over this one, so only
    // the read is checked here; what it reads, on a server of its own, further below.
    GraphicsDevice::keepPresentedFrames = false;
    device->present();
    std::vector<std::uint32_t> shown;
    int shownWidth = 0, shownHeight = 0;
    EXPECT_TRUE(device->readBackBuffer(shown, shownWidth, shownHeight));
    EXPECT_EQ(shownWidth, w);
    EXPECT_EQ(shown.size(), static_cast<std::size_t>(w) * h);
    GraphicsDevice::keepPresentedFrames = true;
    // The picture kept from the window goes back the right way up off-screen as well.
    startFrame(w + 20, h + 20);
    ASSERT_FALSE(device->drawsIntoWindow());
    device->setViewport(DeviceViewport{10, 20, 30, 40, 0.0f, 1.0f});
    ASSERT_TRUE(device->copyViewportFrom(*kept));
    expectBlock("pasted off-screen");
}

TEST_F(GraphicsDeviceTest, ResourcesOutlivingTheDeviceLetGoQuietly) {
    DeviceVertexBuffer* orphan = device->createVertexBuffer(96);
    delete qor->pQorGraphics;
    qor->pQorGraphics = nullptr;
    EXPECT_EQ(orphan->upload(nullptr, 0), ResultCode::kDeviceLost);
    delete orphan;
}

TEST_F(GraphicsDeviceTest, AnOpenGLErrorReachesTheReporterOnceWithTheCall) {
    static std::string reported;
    reported.clear();
    const GlCheck::Reporter previous =
        GlCheck::setReporter([](const char* error, const char* call, const char*, const char*, int line) {
            reported += std::string(error) + " " + call + " " + std::to_string(line) + ";";
        });
    glEnable(0xFFFF);
    GlCheck::afterCall("glEnable(0xFFFF)", "test", "test.cpp", 7);
    GlCheck::afterCall("glEnable(GL_BLEND)", "test", "test.cpp", 8);  // nothing new
    GlCheck::setReporter(previous);
    EXPECT_EQ(reported, "GL_INVALID_ENUM glEnable(0xFFFF) 7;");
}
}  // namespace

// A window on an X server drawn into straight, as a player's game is: its back buffer is
// undefined after the swap and no copy is kept, yet the frame it shows reads back.
TEST(GraphicsDeviceOnXTest, TheFrameShownInAnXWindowReadsBackAfterItsSwapWithoutAKeptCopy) {
    if (!std::getenv("TORVANE_DISPLAY_TESTS")) GTEST_SKIP() << "needs a display (TORVANE_DISPLAY_TESTS)";
    PrivateXServer server(320, 240);
    if (server.display.empty()) LEAVE_WITHOUT_DISPLAY("no Xvfb to run a private X server");
    const ScopedVariable display("DISPLAY", server.display.c_str());
    const TestVideo::StopAtEnd stopVideo;
    ASSERT_TRUE(TestVideo::start("x11"));
    Window window;
    ASSERT_TRUE(window.create("frame shown", 0, 0, 64, 48));
    PresentParameters parameters;
    parameters.backBufferWidth = 64;
    parameters.backBufferHeight = 48;
    GraphicsDevice* created = nullptr;
    ASSERT_GE(GraphicsDevice::create(window, parameters, &created), 0) << GraphicsDevice::lastCreateError();
    std::unique_ptr<GraphicsDevice> device(created);
    const bool kept = GraphicsDevice::keepPresentedFrames;
    GraphicsDevice::keepPresentedFrames = false;
    device->present();  // the window's size reaches the driver with a swap
    // Two frames, so that a back buffer that kept an older frame would show the first.
    for (const std::uint32_t block : {0xFF00FF00u, 0xFFFF0000u}) {
        ASSERT_EQ(device->beginScene(), ResultCode::kOk);
        ASSERT_TRUE(device->drawsIntoWindow());
        device->setViewport(DeviceViewport{0, 0, 64, 48, 0.0f, 1.0f});
        device->clear(0xFF2040C0u);
        device->setViewport(DeviceViewport{8, 4, 16, 12, 0.0f, 1.0f});
        device->clear(block);
        device->endScene();
        device->present();
    }
    std::vector<std::uint32_t> pixels;
    int w = 0, h = 0;
    ASSERT_TRUE(device->readBackBuffer(pixels, w, h));
    ASSERT_EQ(w, 64);
    ASSERT_EQ(h, 48);
    EXPECT_EQ(pixels[4 * 64 + 8], 0xFFFF0000u);
    EXPECT_EQ(pixels[15 * 64 + 23], 0xFFFF0000u);
    EXPECT_EQ(pixels[3 * 64 + 8], 0xFF2040C0u);
    EXPECT_EQ(pixels[16 * 64 + 24], 0xFF2040C0u);
    EXPECT_EQ(pixels[47 * 64 + 63], 0xFF2040C0u);
    GraphicsDevice::keepPresentedFrames = kept;
    device.reset();
}
