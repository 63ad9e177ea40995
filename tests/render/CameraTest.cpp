#include <gtest/gtest.h>

#include <numbers>

#include "EngineFixture.h"
#include "engine/Qor.h"
#include "platform/GraphicsDevice.h"
#include "render/Camera.h"
#include "render/Matrix.h"
#include "render/QorGraphics.h"

namespace {
// The test window is 320 x 192: one pixel is 2.5 virtual units on both axes, so the
// default texel offsets are (1.25, -1.25) units.
class CameraTest : public EngineFixture {};

TEST_F(CameraTest, TheDefaultCameraSeesTheVirtualScreenAtDepthZero) {
    Camera camera;
    const ViewRect r = camera.getViewRect(0.0f);
    EXPECT_FLOAT_EQ(r.left, -400.0f);
    EXPECT_FLOAT_EQ(r.top, 240.0f);
    EXPECT_FLOAT_EQ(r.right, 400.0f);
    EXPECT_FLOAT_EQ(r.bottom, -240.0f);
    const ViewRect far = camera.getViewRect(400.0f);
    EXPECT_FLOAT_EQ(far.right, 800.0f);
}

TEST_F(CameraTest, SnappingTruncatesTowardZeroAndAddsTheTexelOffset) {
    Camera camera;
    camera.position = Vector3{10.7f, -3.2f, -400.0f};
    camera.target = Vector3{10.7f, -3.2f, 0.0f};
    camera.tick(0.0, 0.0);
    EXPECT_FLOAT_EQ(camera.eye.x, 10.0f + 1.25f);
    EXPECT_FLOAT_EQ(camera.eye.y, -3.0f - 1.25f);
    EXPECT_FLOAT_EQ(camera.eye.z, -400.0f);
    EXPECT_FLOAT_EQ(camera.at.x, 11.25f);
    camera.bPixelSnap = 0;
    camera.tick(0.0, 0.0);
    EXPECT_FLOAT_EQ(camera.eye.x, 10.7f + 1.25f);
}

TEST_F(CameraTest, TheTexelOffsetShrinksOnlyWhenTheCameraComesCloser) {
    Camera camera;
    camera.position.z = -200.0f;
    camera.tick(0.0, 0.0);
    EXPECT_FLOAT_EQ(camera.eye.x, 0.625f);
    camera.position.z = -800.0f;
    camera.tick(0.0, 0.0);
    EXPECT_FLOAT_EQ(camera.eye.x, 1.25f);
}

TEST_F(CameraTest, RenderSetsAProjectionThatMapsTheScreenCornersToTheViewEdges) {
    qor->pQorGraphics->texelAlignment = Vector3{0.0f, 0.0f, 0.0f};
    Camera camera;
    camera.render();
    const GraphicsDevice& d = *qor->pQorGraphics->dxDevice;
    const Matrix both{
        DeviceMatrix::product(d.getTransform(TransformKind::kView), d.getTransform(TransformKind::kProjection))};
    const Vector3 corner = both.transformCoord({400.0f, -240.0f, 0.0f});
    EXPECT_NEAR(corner.x, 1.0f, 1e-6f);
    EXPECT_NEAR(corner.y, -1.0f, 1e-6f);
}

TEST_F(CameraTest, RollTurnsTheUpVector) {
    qor->pQorGraphics->texelAlignment = Vector3{0.0f, 0.0f, 0.0f};
    Camera camera;
    camera.roll = std::numbers::pi_v<float> / 2.0f;
    camera.tick(0.0, 0.0);
    camera.render();
    // The up vector is now +x: what lies to the right shows at the top.
    const Vector3 p =
        Matrix{qor->pQorGraphics->dxDevice->getTransform(TransformKind::kView)}.transformCoord({10, 0, 0});
    EXPECT_NEAR(p.x, 0.0f, 1e-5f);
    EXPECT_NEAR(p.y, 10.0f, 1e-5f);
}
}  // namespace
