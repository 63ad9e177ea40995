#include <gtest/gtest.h>

#include "render/Quad.h"
#include "render/Texture.h"
#include "support/MenuTestEngine.h"
#include "ui/QuadFraction.h"

namespace {
TEST(QuadFractionTest, TheTargetShowsTheLeftPartGrowingFromItsLeftEnd) {
    MenuTestEngine engine;
    Texture texture(256, 64, 0);
    Quad bar;
    bar.pTexture = &texture;
    bar.setSourceRect(0, 0, 50, 200);
    Quad fill;
    copyQuadFraction(bar, fill, 0.25f);
    EXPECT_FLOAT_EQ(fill.uvRect[0], 0.0f);
    EXPECT_FLOAT_EQ(fill.uvRect[2], 50.0f / 256.0f);
    EXPECT_FLOAT_EQ(fill.uvRect[3], bar.uvRect[3]);
    EXPECT_FLOAT_EQ(fill.width, 50.0f);
    EXPECT_FLOAT_EQ(fill.origin.x, -25.0f);  // anchored at the middle of its left edge
}
}  // namespace
