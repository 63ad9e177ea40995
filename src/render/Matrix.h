#pragma once
// A 4x4 single-precision transform for row vectors (a point is the row (x, y, z, 1)
// multiplied on the left), left-handed, stored row by row: m[3][0..2] is the
// translation. Composing A then B is A * B. The static helpers give bit-for-bit the
// results of the drawing helper library the engine was written against, so that layouts,
// bounds and hit tests agree with the original art.
#include "engine/Vector3.h"
#include "platform/DeviceMatrix.h"

struct Matrix : DeviceMatrix {
    static Matrix identity();
    // a * b: a point transformed by the result goes through a first. out may be a or b.
    static Matrix multiply(const Matrix& a, const Matrix& b);
    // The inverse of a; false (out untouched) when a is singular: its determinant is 0
    // or not a finite number. det, when given, receives the determinant.
    static bool inverse(const Matrix& a, Matrix& out, float* det = nullptr);
    static Matrix scaling(float sx, float sy, float sz);
    static Matrix translation(float x, float y, float z);
    // Roll about z first, then pitch about x, then yaw about y (radians, clockwise when
    // looking along the axis toward the origin, as in a left-handed frame).
    static Matrix rotationYawPitchRoll(float yaw, float pitch, float roll);
    // The view from eye toward at with up roughly up; left-handed (z into the screen).
    static Matrix lookAtLH(const Vector3& eye, const Vector3& at, const Vector3& up);
    // A perspective projection with a view volume of width x height at the near plane
    // zn, far plane zf; depth 0 at zn and 1 at zf (clip z in 0..w).
    static Matrix perspectiveLH(float width, float height, float zn, float zf);

    // The point (x, y, z, 1) times this matrix, divided by the resulting w.
    Vector3 transformCoord(const Vector3& v) const;
    const float* data() const { return &m[0][0]; }
};
