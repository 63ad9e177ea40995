#include <gtest/gtest.h>

#include <cstdint>

#include "platform/DrawBatcher.h"
#include "render/Vertex.h"

namespace {
DrawBatcher::Draw opaqueDraw(PrimitiveType type) {
    DrawBatcher::Draw d;
    d.type = type;
    return d;
}

void append(DrawBatcher& batcher, const DrawBatcher::Draw& draw, const Vertex* vertices, int count) {
    ASSERT_TRUE(batcher.canJoin(draw));
    batcher.append(draw, reinterpret_cast<const std::uint8_t*>(vertices), count, DeviceMatrix::identity());
}
}  // namespace

TEST(DrawBatcherTest, DrawsJoinWhenOneCallCanDrawThemAll) {
    const Vertex v[3] = {{0, 0, 0, 0, 0, 0}, {1, 0, 0, 0, 1, 0}, {0, 1, 0, 0, 0, 1}};
    DrawBatcher batcher;
    append(batcher, opaqueDraw(PrimitiveType::kTriangleList), v, 3);
    EXPECT_TRUE(batcher.canJoin(opaqueDraw(PrimitiveType::kTriangleStrip))) << "both become triangle lists";
    EXPECT_FALSE(batcher.canJoin(opaqueDraw(PrimitiveType::kLineList)));
    DrawBatcher::Draw tested = opaqueDraw(PrimitiveType::kTriangleList);
    tested.alphaTestRef = 0;
    EXPECT_FALSE(batcher.canJoin(tested));

    // The opaque draw goes either way; once one draw needs blending, none may refuse it.
    DrawBatcher::Draw blended = opaqueDraw(PrimitiveType::kTriangleFan), replacing = blended;
    blended.blended = true;
    replacing.replacing = true;
    EXPECT_TRUE(batcher.canJoin(replacing));
    append(batcher, blended, v, 3);
    EXPECT_FALSE(batcher.canJoin(replacing));
    EXPECT_TRUE(batcher.canJoin(opaqueDraw(PrimitiveType::kTriangleList)));
    EXPECT_TRUE(batcher.state().blended);

    batcher.clear();
    EXPECT_TRUE(batcher.canJoin(replacing)) << "an empty batch takes any draw";
}

TEST(DrawBatcherTest, StripsBecomeTrianglesInTheStripsWindingWithTheDrawsTint) {
    const Vertex v[4] = {{0, 0, 0, 0, 0.25f, 0.5f}, {1, 0, 0, 0, 1, 0}, {0, 1, 0, 0, 0, 1}, {1, 1, 0, 0, 1, 1}};
    DrawBatcher::Draw draw = opaqueDraw(PrimitiveType::kTriangleStrip);
    draw.tint = 0x80FF0000u;
    draw.colourWeight = 0;
    draw.textureOnly = false;
    DrawBatcher batcher;
    append(batcher, draw, v, 4);
    const auto& placed = batcher.vertices();
    ASSERT_EQ(placed.size(), 6u);
    // Vertices 0 1 2, then 2 1 3.
    const float expectedX[6] = {0, 1, 0, 0, 1, 1}, expectedY[6] = {0, 0, 1, 1, 0, 1};
    for (int i = 0; i < 6; ++i) EXPECT_TRUE(placed[i].x == expectedX[i] && placed[i].y == expectedY[i]) << i;
    EXPECT_EQ(placed[0].u, 0.25f);
    EXPECT_EQ(placed[0].v, 0.5f);
    EXPECT_EQ(placed[5].w, 1.0f);
    EXPECT_EQ(placed[5].factor, 0x80FF0000u);
    EXPECT_EQ(placed[5].weights[0], 0);
    EXPECT_EQ(placed[5].weights[3], 255);
    EXPECT_FALSE(batcher.state().textureOnly);
}
