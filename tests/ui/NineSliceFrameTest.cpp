#include <gtest/gtest.h>

#include "render/Texture.h"
#include "support/MenuTestEngine.h"
#include "ui/NineSliceFrame.h"

namespace {
class NineSliceFrameTest : public ::testing::Test {
protected:
    MenuTestEngine engine;
};

TEST_F(NineSliceFrameTest, CornersKeepTheirSizeWhileTheMiddleStretches) {
    Quad source;
    source.setSize(64, 48);
    NineSliceFrame frame(&source);
    frame.setMargins(16, 16, 16, 16);
    frame.buildVertices(256.0f, -1.0f);  // the height stays the source's
    const Vertex* v = frame.vertexBuffer.vertexArray;
    const float xs[4] = {-128, -112, 112, 128};
    const float ys[4] = {24, 8, -8, -24};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) {
            EXPECT_FLOAT_EQ(v[8 * r + 2 * c].x, xs[c]);
            EXPECT_FLOAT_EQ(v[8 * r + 2 * c].y, ys[r]);
            EXPECT_FLOAT_EQ(v[8 * r + 2 * c + 1].y, ys[r + 1]);
            EXPECT_EQ(v[8 * r + 2 * c].color, 0xFFFFFFFFu);
        }
    EXPECT_FLOAT_EQ(frame.width, 256.0f);
    EXPECT_FLOAT_EQ(frame.height, 48.0f);
}

TEST_F(NineSliceFrameTest, TheTextureCutFollowsTheMarginsScaledForDoubledImages) {
    Texture texture(256, 128, 0);
    Quad source;
    source.pTexture = &texture;
    source.setSourceRect(0, 0, 48, 64);  // left, top, bottom, right
    NineSliceFrame frame(&source);
    frame.setMargins(16, 16, 16, 16);
    const auto inner = texture.getUV(Rect{16, 16, 32, 48});  // left, top, bottom, right
    for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(frame.innerUV[i], inner[i]);
    EXPECT_FLOAT_EQ(frame.width, 64.0f);  // back to the source's own size
    qor->hq2x = 2;                        // the image's pixels are doubled, the margins given for the normal one
    source.setSourceRect(0, 0, 96, 128);
    frame.setMargins(16, 16, 16, 16);
    const auto doubled = texture.getUV(Rect{32, 32, 64, 96});
    for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(frame.innerUV[i], doubled[i]);
    const Vertex* v = frame.vertexBuffer.vertexArray;
    EXPECT_FLOAT_EQ(v[2].u, doubled[0]);  // column 1 of the top row
    EXPECT_FLOAT_EQ(v[0].u, 0.0f);
}

TEST_F(NineSliceFrameTest, UnequalMarginsMeanLeftTopRightBottomEverywhere) {
    Quad source;
    source.setSize(100, 40);
    NineSliceFrame frame(&source);
    frame.setMargins(10, 5, 5, 10);
    const Vertex* v = frame.vertexBuffer.vertexArray;
    EXPECT_FLOAT_EQ(v[2].x, -40.0f);  // left 10
    EXPECT_FLOAT_EQ(v[4].x, 45.0f);   // right 5
    EXPECT_FLOAT_EQ(v[1].y, 15.0f);   // top 5
    EXPECT_FLOAT_EQ(v[9].y, -10.0f);  // bottom 10
}

TEST_F(NineSliceFrameTest, NoSourceIsAnEmptyFrameNotACrash) {
    NineSliceFrame frame(nullptr);
    frame.setMargins(16, 16, 16, 16);
    frame.buildVertices(-1.0f, -1.0f);
    EXPECT_EQ(frame.width, 0.0f);
    frame.buildVertices(120.0f, 30.0f);
    EXPECT_EQ(frame.height, 30.0f);
}
}  // namespace

#include "../render/EngineFixture.h"
#include "../render/ReferenceImage.h"
#include "render/Context.h"
#include "render/Renderable.h"

namespace {
class NineSliceFramePicture : public EngineFixture {
protected:
    // 48 x 48: red corners, green edges, a blue middle, each piece 16 texels.
    Texture* pieces(Context* owner) {
        std::vector<std::uint32_t> px(48 * 48);
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 48; ++x) {
                const int edges = (x < 16 || x >= 32) + (y < 16 || y >= 32);
                px[static_cast<std::size_t>(y * 48 + x)] = edges == 2   ? 0xFFFF0000u
                                                           : edges == 1 ? 0xFF00C000u
                                                                        : 0xFF2040FFu;
            }
        return makeTexture(owner, 48, 48, px, false);
    }
    void addFrame(Context* scene, Quad* source, float w, float h, float x, float y, int top, int bottom) {
        auto* frame = new NineSliceFrame(source);
        frame->setMargins(16, top, 16, bottom);
        frame->buildVertices(w, h);
        auto* r = new Renderable();
        r->pSkin = frame;
        r->bOwnsSkin = 1;
        r->setPosition(x, y, 0.0f);
        scene->addChild(r);
    }
};

TEST_F(NineSliceFramePicture, CornersKeepTheirSizeAtAnyFrameSize) {
    auto* scene = new Context();
    scene->clearColor = 0xFF404040u;
    Texture* texture = pieces(scene);
    auto* source = new Quad();
    source->pTexture = texture;
    source->setSourceRect(0, 0, 48, 48);
    scene->addChild(source);
    addFrame(scene, source, 600, 80, 0, 150, 16, 16);      // wide
    addFrame(scene, source, 120, 260, -250, -80, 16, 16);  // tall
    addFrame(scene, source, 400, 100, 100, -80, 0, 0);     // the middle row alone
    runFrame(scene);
    int w = 0, h = 0;
    const std::vector<std::uint32_t> pixels = backBuffer(w, h);
    EXPECT_TRUE(ReferenceImage::matches("nine-slice-frames", pixels, w, h));
    scene->destroy();
}
}  // namespace
