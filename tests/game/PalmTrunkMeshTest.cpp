#include <gtest/gtest.h>

#include <numbers>

#include "game/PalmTrunkMesh.h"
#include "render/Texture.h"
#include "support/HeadlessEngine.h"

namespace {
constexpr float kPi = std::numbers::pi_v<float>;
using PalmTrunkMeshTest = HeadlessEngine;
}  // namespace

// A 112 x 144 trunk picture (the top left of a 256 x 256 texture) in 16 rows.
TEST_F(PalmTrunkMeshTest, BendsAboutItsFixedFootAndMapsPointsBothWays) {
    auto* texture = new Texture(256, 256, 0);
    auto* mesh = new PalmTrunkMesh();
    mesh->pTexture = texture;
    mesh->uvRect = {0.0f, 0.0f, 112.0f / 256.0f, 144.0f / 256.0f};
    mesh->rows = 16;
    mesh->allocateVertices();
    const Vertex* v = mesh->vertexBuffer.vertexArray;
    for (int i = 0; i < 16; ++i) {
        EXPECT_FLOAT_EQ(v[2 * i + 1].x, 56.0f);
        EXPECT_NEAR(v[2 * i].y, 72.0f - 144.0f * static_cast<float>(i) / 15.0f, 1e-4f);
    }
    EXPECT_FALSE(mesh->setBend(0.0009f));  // counts as straight
    EXPECT_TRUE(mesh->setBend(kPi / 2.0f));
    v = mesh->vertexBuffer.vertexArray;
    EXPECT_FLOAT_EQ(v[30].x, -56.0f);
    EXPECT_FLOAT_EQ(v[31].y, -72.0f);
    EXPECT_NEAR((v[0].x + v[1].x) / 2.0f, -2.0f * 144.0f / kPi, 1e-3f);
    EXPECT_NEAR((v[0].y + v[1].y) / 2.0f, 2.0f * 144.0f / kPi - 72.0f, 1e-3f);
    for (float b : {0.8f, -1.7f}) {
        mesh->setBend(b);
        const Vector3 back = mesh->objectToSkin(mesh->skinToObject(Vector3{-30.0f, 60.0f, 0.0f}));
        EXPECT_NEAR(back.x, -30.0f, 1e-3f);
        EXPECT_NEAR(back.y, 60.0f, 1e-3f);
    }
    mesh->rows = 0;  // no strip has fewer than two rows
    mesh->allocateVertices();
    EXPECT_EQ(mesh->vertexBuffer.vertices, 4);
    mesh->destroy();
    texture->destroy();
}
