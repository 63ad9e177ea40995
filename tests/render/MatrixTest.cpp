#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "render/Matrix.h"

namespace {
constexpr float kHalfPi = std::numbers::pi_v<float> / 2.0f;

void expectNear(const Vector3& v, float x, float y, float z, float eps = 1e-5f) {
    EXPECT_NEAR(v.x, x, eps);
    EXPECT_NEAR(v.y, y, eps);
    EXPECT_NEAR(v.z, z, eps);
}

TEST(MatrixTest, ProductsApplyTheLeftFactorFirst) {
    const Matrix st = Matrix::multiply(Matrix::scaling(2, 3, 4), Matrix::translation(1, 2, 3));
    expectNear(st.transformCoord({1, 1, 1}), 3, 5, 7);
    const Matrix ts = Matrix::multiply(Matrix::translation(1, 2, 3), Matrix::scaling(2, 3, 4));
    expectNear(ts.transformCoord({1, 1, 1}), 4, 9, 16);
}

TEST(MatrixTest, RollThenPitchThenYawTurnClockwiseInALeftHandedFrame) {
    expectNear(Matrix::rotationYawPitchRoll(0, 0, kHalfPi).transformCoord({1, 0, 0}), 0, 1, 0);
    expectNear(Matrix::rotationYawPitchRoll(kHalfPi, 0, 0).transformCoord({1, 0, 0}), 0, 0, -1);
    expectNear(Matrix::rotationYawPitchRoll(0, kHalfPi, 0).transformCoord({0, 1, 0}), 0, 0, 1);
    // Roll takes x to y, then pitch takes y to z, then yaw takes z to x.
    expectNear(Matrix::rotationYawPitchRoll(kHalfPi, kHalfPi, kHalfPi).transformCoord({1, 0, 0}), 1, 0, 0);
}

TEST(MatrixTest, InverseUndoesATransformAndRefusesASingularOne) {
    const Matrix m = Matrix::multiply(
        Matrix::multiply(Matrix::scaling(2, -3, 0.5f), Matrix::rotationYawPitchRoll(0.3f, -1.1f, 2.0f)),
        Matrix::translation(7, -5, 11));
    Matrix inv;
    float det = 0;
    ASSERT_TRUE(Matrix::inverse(m, inv, &det));
    EXPECT_NEAR(det, -3.0f, 1e-4f);
    const Matrix product = Matrix::multiply(m, inv);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(product.m[i][j], i == j ? 1.0f : 0.0f, 1e-5f) << i << "," << j;

    Matrix untouched = Matrix::translation(1, 2, 3);
    EXPECT_FALSE(Matrix::inverse(Matrix::scaling(1, 0, 1), untouched, &det));
    EXPECT_EQ(det, 0.0f);
    EXPECT_EQ(untouched.m[3][1], 2.0f);
    Matrix nan = Matrix::identity();
    nan.m[0][0] = std::nanf("");
    EXPECT_FALSE(Matrix::inverse(nan, untouched));
}

TEST(MatrixTest, DefaultCameraShowsTheVirtualScreenAtDepthZero) {
    const Matrix view = Matrix::lookAtLH({0, 0, -400}, {0, 0, 0}, {0, 1, 0});
    expectNear(view.transformCoord({400, 240, 0}), 400, 240, 400);
    const Matrix projection = Matrix::perspectiveLH(2.0f, 1.2f, 1.0f, 1048576.0f);
    const Matrix both = Matrix::multiply(view, projection);
    const Vector3 corner = both.transformCoord({400, 240, 0});
    EXPECT_NEAR(corner.x, 1.0f, 1e-5f);
    EXPECT_NEAR(corner.y, 1.0f, 1e-5f);
    // Depth runs 0 at the near plane to 1 at the far plane.
    EXPECT_NEAR(both.transformCoord({0, 0, -399}).z, 0.0f, 1e-5f);
    EXPECT_NEAR(corner.z, 1.0f - 1.0f / 400.0f, 1e-5f);
}

TEST(MatrixTest, LookAtWithTheUpVectorAlongXTurnsTheViewAQuarter) {
    const Matrix view = Matrix::lookAtLH({0, 0, -400}, {0, 0, 0}, {1, 0, 0});
    // What lay to the right (+x) is now up (+y) in the view.
    expectNear(view.transformCoord({10, 0, 0}), 0, 10, 400);
}

TEST(MatrixTest, TransformCoordDividesByW) {
    Matrix m = Matrix::identity();
    m.m[3][3] = 2.0f;
    expectNear(m.transformCoord({2, 4, 6}), 1, 2, 3);
}
}  // namespace
