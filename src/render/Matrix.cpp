#include "render/Matrix.h"

#include <cmath>

namespace {
float dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vector3 cross(const Vector3& a, const Vector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Vector3 normalize(const Vector3& v) {
    const float length = std::sqrt(dot(v, v));
    // A zero vector stays zero rather than turning into NaNs.
    return length != 0.0f ? v * (1.0f / length) : Vector3{0.0f, 0.0f, 0.0f};
}

// The 2x2 minors of rows 2 and 3 that the cofactors of rows 0 and 1 share.
struct LowerMinors {
    float s0, s1, s2, s3, s4, s5;
};
}  // namespace

Matrix Matrix::identity() { return Matrix{DeviceMatrix::identity()}; }

Matrix Matrix::multiply(const Matrix& a, const Matrix& b) { return Matrix{DeviceMatrix::product(a, b)}; }

bool Matrix::inverse(const Matrix& a, Matrix& out, float* det) {
    // Cofactor expansion through the 2x2 minors of the upper and lower row pairs.
    const auto& m = a.m;
    const float u0 = m[0][0] * m[1][1] - m[1][0] * m[0][1];
    const float u1 = m[0][0] * m[1][2] - m[1][0] * m[0][2];
    const float u2 = m[0][0] * m[1][3] - m[1][0] * m[0][3];
    const float u3 = m[0][1] * m[1][2] - m[1][1] * m[0][2];
    const float u4 = m[0][1] * m[1][3] - m[1][1] * m[0][3];
    const float u5 = m[0][2] * m[1][3] - m[1][2] * m[0][3];
    const LowerMinors l{m[2][0] * m[3][1] - m[3][0] * m[2][1], m[2][0] * m[3][2] - m[3][0] * m[2][2],
                        m[2][0] * m[3][3] - m[3][0] * m[2][3], m[2][1] * m[3][2] - m[3][1] * m[2][2],
                        m[2][1] * m[3][3] - m[3][1] * m[2][3], m[2][2] * m[3][3] - m[3][2] * m[2][3]};
    const float d = u0 * l.s5 - u1 * l.s4 + u2 * l.s3 + u3 * l.s2 - u4 * l.s1 + u5 * l.s0;
    if (det) *det = d;
    if (d == 0.0f || !std::isfinite(d)) return false;
    const float k = 1.0f / d;
    Matrix r;
    r.m[0][0] = (m[1][1] * l.s5 - m[1][2] * l.s4 + m[1][3] * l.s3) * k;
    r.m[0][1] = (-m[0][1] * l.s5 + m[0][2] * l.s4 - m[0][3] * l.s3) * k;
    r.m[0][2] = (m[3][1] * u5 - m[3][2] * u4 + m[3][3] * u3) * k;
    r.m[0][3] = (-m[2][1] * u5 + m[2][2] * u4 - m[2][3] * u3) * k;
    r.m[1][0] = (-m[1][0] * l.s5 + m[1][2] * l.s2 - m[1][3] * l.s1) * k;
    r.m[1][1] = (m[0][0] * l.s5 - m[0][2] * l.s2 + m[0][3] * l.s1) * k;
    r.m[1][2] = (-m[3][0] * u5 + m[3][2] * u2 - m[3][3] * u1) * k;
    r.m[1][3] = (m[2][0] * u5 - m[2][2] * u2 + m[2][3] * u1) * k;
    r.m[2][0] = (m[1][0] * l.s4 - m[1][1] * l.s2 + m[1][3] * l.s0) * k;
    r.m[2][1] = (-m[0][0] * l.s4 + m[0][1] * l.s2 - m[0][3] * l.s0) * k;
    r.m[2][2] = (m[3][0] * u4 - m[3][1] * u2 + m[3][3] * u0) * k;
    r.m[2][3] = (-m[2][0] * u4 + m[2][1] * u2 - m[2][3] * u0) * k;
    r.m[3][0] = (-m[1][0] * l.s3 + m[1][1] * l.s1 - m[1][2] * l.s0) * k;
    r.m[3][1] = (m[0][0] * l.s3 - m[0][1] * l.s1 + m[0][2] * l.s0) * k;
    r.m[3][2] = (-m[3][0] * u3 + m[3][1] * u1 - m[3][2] * u0) * k;
    r.m[3][3] = (m[2][0] * u3 - m[2][1] * u1 + m[2][2] * u0) * k;
    out = r;
    return true;
}

Matrix Matrix::scaling(float sx, float sy, float sz) {
    Matrix r = identity();
    r.m[0][0] = sx;
    r.m[1][1] = sy;
    r.m[2][2] = sz;
    return r;
}

Matrix Matrix::translation(float x, float y, float z) {
    Matrix r = identity();
    r.m[3][0] = x;
    r.m[3][1] = y;
    r.m[3][2] = z;
    return r;
}

Matrix Matrix::rotationYawPitchRoll(float yaw, float pitch, float roll) {
    const float sy = std::sin(yaw), cy = std::cos(yaw);
    const float sp = std::sin(pitch), cp = std::cos(pitch);
    const float sr = std::sin(roll), cr = std::cos(roll);
    // Roll * Pitch * Yaw, multiplied out.
    Matrix r = identity();
    r.m[0][0] = cr * cy + sr * sp * sy;
    r.m[0][1] = sr * cp;
    r.m[0][2] = sr * sp * cy - cr * sy;
    r.m[1][0] = cr * sp * sy - sr * cy;
    r.m[1][1] = cr * cp;
    r.m[1][2] = sr * sy + cr * sp * cy;
    r.m[2][0] = cp * sy;
    r.m[2][1] = -sp;
    r.m[2][2] = cp * cy;
    return r;
}

Matrix Matrix::lookAtLH(const Vector3& eye, const Vector3& at, const Vector3& up) {
    const Vector3 zAxis = normalize(at - eye);
    const Vector3 xAxis = normalize(cross(up, zAxis));
    const Vector3 yAxis = cross(zAxis, xAxis);
    return Matrix{DeviceMatrix{{{xAxis.x, yAxis.x, zAxis.x, 0.0f},
                                {xAxis.y, yAxis.y, zAxis.y, 0.0f},
                                {xAxis.z, yAxis.z, zAxis.z, 0.0f},
                                {-dot(xAxis, eye), -dot(yAxis, eye), -dot(zAxis, eye), 1.0f}}}};
}

Matrix Matrix::perspectiveLH(float width, float height, float zn, float zf) {
    return Matrix{DeviceMatrix{{{2.0f * zn / width, 0.0f, 0.0f, 0.0f},
                                {0.0f, 2.0f * zn / height, 0.0f, 0.0f},
                                {0.0f, 0.0f, zf / (zf - zn), 1.0f},
                                {0.0f, 0.0f, zn * zf / (zn - zf), 0.0f}}}};
}

Vector3 Matrix::transformCoord(const Vector3& v) const {
    float r[4];
    for (int j = 0; j < 4; ++j) r[j] = v.x * m[0][j] + v.y * m[1][j] + v.z * m[2][j] + m[3][j];
    const float w = r[3];
    // A point on the eye plane has no projection; give the unprojected values.
    if (w == 0.0f) return {r[0], r[1], r[2]};
    return {r[0] / w, r[1] / w, r[2] / w};
}
