#include <gtest/gtest.h>

#include "EngineFixture.h"
#include "ReferenceImage.h"
#include "engine/Qor.h"
#include "render/Context.h"
#include "render/Quad.h"
#include "render/Renderable.h"
#include "render/Texture.h"

namespace {
class QuadTest : public EngineFixture {
protected:
    // A 4 x 4 texture: red, green, blue and white quarters.
    Texture* quarters(Context* owner) {
        std::vector<std::uint32_t> px(16);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                px[y * 4 + x] = y < 2 ? (x < 2 ? 0xFFFF0000u : 0xFF00FF00u) : (x < 2 ? 0xFF0000FFu : 0xFFFFFFFFu);
        return makeTexture(owner, 4, 4, px, false);
    }
};

TEST_F(QuadTest, TheStripRunsTopLeftTopRightBottomLeftBottomRight) {
    Quad quad;
    quad.uvRect = {0.25f, 0.0f, 0.75f, 1.0f};
    quad.setSize(100, 50);
    const Vertex* v = quad.vertexBuffer.vertexArray;
    EXPECT_FLOAT_EQ(v[0].x, -50.0f);
    EXPECT_FLOAT_EQ(v[0].y, 25.0f);
    EXPECT_FLOAT_EQ(v[0].u, 0.25f);
    EXPECT_FLOAT_EQ(v[1].x, 50.0f);
    EXPECT_FLOAT_EQ(v[1].u, 0.75f);
    EXPECT_FLOAT_EQ(v[2].y, -25.0f);
    EXPECT_FLOAT_EQ(v[2].v, 1.0f);
    EXPECT_EQ(v[3].color, 0xFFFFFFFFu);
    EXPECT_FLOAT_EQ(quad.width, 100.0f);
}

TEST_F(QuadTest, TheSizeFollowsTheSourceRectangleOnTheTexture) {
    Context owner;
    Texture* texture = makeTexture(&owner, 256, 128, std::vector<std::uint32_t>(256 * 128), true);
    Quad quad;
    quad.pTexture = texture;
    quad.uvRect = {0.0f, 0.0f, 0.5f, 1.0f};
    quad.refresh();
    EXPECT_FLOAT_EQ(quad.width, 128.0f);
    EXPECT_FLOAT_EQ(quad.height, 128.0f);
    quad.setSourceRect(64, 32, 96, 192);  // left, top, bottom, right
    EXPECT_FLOAT_EQ(quad.uvRect[0], 0.25f);
    EXPECT_FLOAT_EQ(quad.uvRect[1], 0.25f);
    EXPECT_FLOAT_EQ(quad.uvRect[2], 0.75f);
    EXPECT_FLOAT_EQ(quad.uvRect[3], 0.75f);
    EXPECT_FLOAT_EQ(quad.width, 128.0f);
    EXPECT_FLOAT_EQ(quad.height, 64.0f);
    EXPECT_EQ(quad.sourceRect.bottom, 96);
}

TEST_F(QuadTest, TintedTexturedAndRotatedPicture) {
    auto* scene = new Context();
    scene->clearColor = 0xFF404040u;
    Texture* texture = quarters(scene);
    addQuad(scene, 160, 160, 0xFFFFFFFFu, -250, 80, 0.0f, texture);
    addQuad(scene, 160, 160, 0xFFFFFF00u, 0, 80, 0.0f, texture);       // tinted: blue goes black
    addQuad(scene, 160, 160, 0xFFFFFFFFu, 250, 80, 0.7854f, texture);  // rotated an eighth
    addQuad(scene, 160, 160, 0x80FFFFFFu, -100, -120, 0.0f, texture);  // half faded
    addQuad(scene, 200, 80, 0xFF00A0FFu, 150, -150);                   // no texture: plain colour
    runFrame(scene);
    int w = 0, h = 0;
    const std::vector<std::uint32_t> pixels = backBuffer(w, h);
    EXPECT_TRUE(ReferenceImage::matches("tinted-rotated", pixels, w, h));
    scene->destroy();
}

TEST_F(QuadTest, TexturesComeBackAfterTheDeviceWasLost) {
    auto* scene = new Context();
    Texture* texture = quarters(scene);
    addQuad(scene, 160, 160, 0xFFFFFFFFu, 0, 0, 0.0f, texture);
    runFrame(scene);
    const std::uint32_t before = pixelAt(150, 90);
    qor->changeQORmode(Qor::MODE_PAUSED);
    qor->changeQORmode(Qor::MODE_FROZEN);
    EXPECT_EQ(texture->dxTexture, nullptr);
    qor->changeQORmode(Qor::MODE_OK);
    runFrame(scene);
    EXPECT_EQ(pixelAt(150, 90), before);
    EXPECT_EQ(before, 0xFFFF0000u);
    scene->destroy();
}
}  // namespace
