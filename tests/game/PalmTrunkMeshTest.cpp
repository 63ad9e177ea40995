#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "game/PalmTrunkMesh.h"
#include "render/Renderable.h"
#include "render/Texture.h"
#include "support/HeadlessEngine.h"

namespace {
constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kRight = 112.0f / 256.0f;
constexpr float kBottom = 144.0f / 256.0f;

// A 112 x 144 trunk picture of 16 rows, as the palm builds it, from the top left of a
// 256 x 256 texture.
class PalmTrunkMeshTest : public HeadlessEngine {
protected:
    void SetUp() override {
        HeadlessEngine::SetUp();
        texture = new Texture(256, 256, 0);
        mesh = new PalmTrunkMesh();
        mesh->pTexture = texture;
        mesh->refresh();
        mesh->uvRect = {0.0f, 0.0f, kRight, kBottom};
        mesh->refresh();
        mesh->rows = 16;
        mesh->allocateVertices();
    }
    void TearDown() override {
        mesh->destroy();
        texture->destroy();
        HeadlessEngine::TearDown();
    }
    const Vertex& vertex(int k) const { return mesh->vertexBuffer.vertexArray[k]; }

    Texture* texture = nullptr;
    PalmTrunkMesh* mesh = nullptr;
};
}  // namespace

TEST_F(PalmTrunkMeshTest, StraightIsAPlainRectangleWithEvenRowsAndTheTextureTopAtRowZero) {
    ASSERT_EQ(mesh->vertexBuffer.vertices, 32);
    EXPECT_FLOAT_EQ(mesh->width, 112.0f);
    EXPECT_FLOAT_EQ(mesh->height, 144.0f);
    for (int i = 0; i < 16; ++i) {
        const float y = 72.0f - 144.0f * static_cast<float>(i) / 15.0f;
        EXPECT_FLOAT_EQ(vertex(2 * i).x, -56.0f);
        EXPECT_FLOAT_EQ(vertex(2 * i + 1).x, 56.0f);
        EXPECT_NEAR(vertex(2 * i).y, y, 1e-4f);
        EXPECT_NEAR(vertex(2 * i).v, kBottom * static_cast<float>(i) / 15.0f, 1e-6f);
        EXPECT_FLOAT_EQ(vertex(2 * i).u, 0.0f);
        EXPECT_FLOAT_EQ(vertex(2 * i + 1).u, kRight);
    }
}

TEST_F(PalmTrunkMeshTest, AQuarterBendKeepsTheFootAndCurlsTheTopOntoTheArc) {
    EXPECT_TRUE(mesh->setBend(kPi / 2.0f));
    const float h = 144.0f;
    EXPECT_FLOAT_EQ(vertex(30).x, -56.0f);
    EXPECT_FLOAT_EQ(vertex(31).x, 56.0f);
    EXPECT_FLOAT_EQ(vertex(30).y, -72.0f);
    EXPECT_FLOAT_EQ(vertex(31).y, -72.0f);
    const float topX = (vertex(0).x + vertex(1).x) / 2.0f;
    const float topY = (vertex(0).y + vertex(1).y) / 2.0f;
    EXPECT_NEAR(topX, -2.0f * h / kPi, 1e-3f);
    EXPECT_NEAR(topY, 2.0f * h / kPi - h / 2.0f, 1e-3f);
}

TEST_F(PalmTrunkMeshTest, BendsBelowTheThresholdAreStraightForTheStripAndTheMappings) {
    EXPECT_FALSE(mesh->setBend(0.0009f));
    EXPECT_EQ(mesh->bend, 0.0f);
    mesh->bend = 0.0009f;  // set behind setBend's back: still straight everywhere
    mesh->init();
    EXPECT_FLOAT_EQ(vertex(0).x, -56.0f);
    const Vector3 p{10.0f, 20.0f, 5.0f};
    EXPECT_EQ(mesh->skinToObject(p).x, p.x);
    EXPECT_EQ(mesh->skinToObject(p).z, p.z);
    EXPECT_EQ(mesh->objectToSkin(p).y, p.y);
}

TEST_F(PalmTrunkMeshTest, TheMappingsAreInversesForBothBendDirections) {
    for (float b : {0.8f, -0.8f, kPi / 2.0f, -1.7f}) {
        mesh->setBend(b);
        for (const Vector3& p :
             {Vector3{0.0f, 0.0f, 0.0f}, Vector3{-30.0f, 60.0f, 0.0f}, Vector3{20.0f, -70.0f, 0.0f}}) {
            const Vector3 back = mesh->objectToSkin(mesh->skinToObject(p));
            EXPECT_NEAR(back.x, p.x, 1e-3f) << "bend " << b;
            EXPECT_NEAR(back.y, p.y, 1e-3f) << "bend " << b;
        }
    }
    // A negative bend leans the top toward +x.
    mesh->setBend(-0.5f);
    EXPECT_GT(mesh->skinToObject(Vector3{0.0f, 72.0f, 0.0f}).x, 0.0f);
}

TEST_F(PalmTrunkMeshTest, ShrinkingTheRectangleShortensTheTrunkAndTooFewRowsAreRaisedToTwo) {
    mesh->uvRect[1] = kBottom / 2.0f;
    mesh->refresh();
    EXPECT_FLOAT_EQ(mesh->height, 72.0f);
    EXPECT_FLOAT_EQ(vertex(0).v, kBottom / 2.0f);
    EXPECT_FLOAT_EQ(vertex(31).v, kBottom);

    mesh->rows = 0;
    mesh->allocateVertices();
    EXPECT_EQ(mesh->rows, 2);
    EXPECT_EQ(mesh->vertexBuffer.vertices, 4);
    EXPECT_FLOAT_EQ(vertex(0).y, 36.0f);
}

TEST_F(PalmTrunkMeshTest, TheBoundsRadiusFollowsTheLargerScale) {
    Renderable r;
    r.scale = Vector3{2.0f, 3.0f, 1.0f};
    mesh->calcBoundsRadius(r);
    const float c = 144.0f / (kPi / 2.0f);
    EXPECT_NEAR(r.boundsRadius, 3.0f * std::hypot(56.0f + c - 72.0f, c), 1e-3f);
}
