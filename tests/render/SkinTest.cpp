#include <gtest/gtest.h>

#include "EngineFixture.h"
#include "ReferenceImage.h"
#include "render/Context.h"
#include "render/Quad.h"
#include "render/Renderable.h"

namespace {
class SkinTest : public EngineFixture {};

TEST_F(SkinTest, AnchorsFollowTheNumericKeypad) {
    Skin skin;
    skin.width = 100;
    skin.height = 50;
    skin.setAnchor(7);
    EXPECT_FLOAT_EQ(skin.origin.x, -50.0f);
    EXPECT_FLOAT_EQ(skin.origin.y, 25.0f);
    skin.setAnchor(3);
    EXPECT_FLOAT_EQ(skin.origin.x, 50.0f);
    EXPECT_FLOAT_EQ(skin.origin.y, -25.0f);
    skin.centre = Vector3{5, 5, 0};
    skin.setAnchor(0);
    EXPECT_FLOAT_EQ(skin.origin.x, 5.0f);
    // An unknown code is the centre, not a read past the table.
    skin.setAnchor(12);
    EXPECT_FLOAT_EQ(skin.origin.x, 5.0f);
    EXPECT_FLOAT_EQ(skin.origin.y, 5.0f);
    skin.setAnchor(-1);
    EXPECT_FLOAT_EQ(skin.origin.y, 5.0f);
}

TEST_F(SkinTest, InsideIsClosedAtTheLowEdgesAndOpenAtTheHighOnes) {
    Skin skin;
    skin.width = 100;
    skin.height = 50;
    skin.centre = Vector3{30, 30, 0};  // the test rectangle stays centred on 0
    EXPECT_TRUE(skin.isInside({-50, -25, 99}));
    EXPECT_FALSE(skin.isInside({50, 0, 0}));
    EXPECT_FALSE(skin.isInside({0, 25, 0}));
    EXPECT_TRUE(skin.isInside({49.99f, 24.99f, 0}));
    const Vector3 corner = skin.getCorner();
    EXPECT_FLOAT_EQ(corner.x, 80.0f);
    EXPECT_FLOAT_EQ(corner.y, 55.0f);
}

TEST_F(SkinTest, AnchorsPicture) {
    auto* scene = new Context();
    scene->clearColor = 0xFF101010u;
    // Each quad hangs off its marker as its anchor says: 7 below-right of it, 3
    // above-left, 5 centred on it, and so on.
    for (int code = 1; code <= 9; ++code) {
        const float x = static_cast<float>((code - 1) % 3 - 1) * 250.0f;
        const float y = static_cast<float>((code - 1) / 3 - 1) * 150.0f;
        Renderable* r = addQuad(scene, 80, 40, 0xFF000000u | static_cast<UColor>(code * 0x1C2A38), x, y);
        r->pSkin->setAnchor(code);
        r->updateXform();
        addQuad(scene, 8, 8, 0xFFFFFFFFu, x, y);
    }
    runFrame(scene);
    int w = 0, h = 0;
    const std::vector<std::uint32_t> pixels = backBuffer(w, h);
    EXPECT_TRUE(ReferenceImage::matches("anchors", pixels, w, h));
    scene->destroy();
}
}  // namespace
