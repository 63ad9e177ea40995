#include <gtest/gtest.h>

#include <cmath>

#include "render/Easing.h"

namespace {
const Vector3 kFrom{1.0f, -2.0f, 3.0f};
const Vector3 kTo{5.0f, 6.0f, -1.0f};

Vector3 ease(float t, int type) {
    Vector3 out{99.0f, 99.0f, 99.0f};
    return easeCurve(out, kFrom, kTo, t, type);
}

void expectNear(const Vector3& a, const Vector3& b, float tolerance = 1e-5f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}
}  // namespace

TEST(Easing, EveryCurveClampsTimeAndStartsAtFrom) {
    for (int type = 0; type < kEaseTypeCount; ++type) {
        SCOPED_TRACE(type);
        expectNear(ease(-3.0f, type), ease(0.0f, type));
        expectNear(ease(1.5f, type), ease(1.0f, type));
        expectNear(ease(0.0f, type), kFrom);
    }
}

TEST(Easing, OutAndBackCurvesReturnToFromAndTheRestEndAtTo) {
    for (int type = 0; type < kEaseTypeCount; ++type) {
        SCOPED_TRACE(type);
        const bool outAndBack = type == 7 || type == 8 || type == 9;
        expectNear(ease(1.0f, type), outAndBack ? kFrom : kTo);
    }
    expectNear(ease(0.5f, 7), kTo);
    expectNear(ease(0.5f, 8), kTo);
    expectNear(ease(0.5f, 9), kTo);
}

TEST(Easing, ShapesAtTheirCharacteristicPoints) {
    const Vector3 zero{0.0f, 0.0f, 0.0f}, one{1.0f, 0.0f, 0.0f};
    Vector3 out{};
    EXPECT_FLOAT_EQ(easeCurve(out, zero, one, 0.5f, 2).x, 0.25f);
    EXPECT_FLOAT_EQ(easeCurve(out, zero, one, 0.5f, 3).x, 0.75f);
    EXPECT_NEAR(easeCurve(out, zero, one, 0.5f, 6).x, 0.5f, 1e-6f);
    // Forward wobbles overshoot early; backward ones back off first.
    EXPECT_GT(easeCurve(out, zero, one, 0.25f, 13).x, 0.25f);
    EXPECT_LT(easeCurve(out, zero, one, 0.25f, 17).x, 0.25f);
    // The strongest wobble just reaches a zero slope at its turning point.
    EXPECT_NEAR(easeCurve(out, zero, one, 0.5f, 13).x, 0.5f, 1e-6f);
}

TEST(Easing, AnUnknownTypeLeavesTheOutputUntouched) {
    Vector3 out{7.0f, 8.0f, 9.0f};
    easeCurve(out, kFrom, kTo, 0.5f, kEaseTypeCount);
    expectNear(out, Vector3{7.0f, 8.0f, 9.0f});
}

TEST(Easing, VectorHelpers) {
    Vector3 out{};
    expectNear(normalizeVector3(Vector3{3.0f, 0.0f, 4.0f}, out), Vector3{0.6f, 0.0f, 0.8f});
    expectNear(normalizeVector3(Vector3{0.0f, 0.0f, 0.0f}, out), Vector3{0.0f, 0.0f, 0.0f});
    expectNear(normalizeVector3(Vector3{NAN, 1.0f, 0.0f}, out), Vector3{0.0f, 0.0f, 0.0f});
    EXPECT_FALSE(isWithinRadius(Vector3{0, 0, 0}, Vector3{3, 4, 0}, 5.0f));
    EXPECT_TRUE(isWithinRadius(Vector3{0, 0, 0}, Vector3{3, 4, 0}, 5.001f));
    expectNear(rotateVectorZ(Vector3{1.0f, 0.0f, 2.0f}, out, static_cast<float>(M_PI / 2)), Vector3{0.0f, 1.0f, 2.0f});
}
