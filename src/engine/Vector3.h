#pragma once
// A position or direction in 3-D; the unit is whatever the caller works in.
struct Vector3 {
    float x, y, z;
};

constexpr Vector3 operator+(const Vector3& a, const Vector3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }

constexpr Vector3 operator-(const Vector3& a, const Vector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

constexpr Vector3 operator*(const Vector3& v, float s) { return {v.x * s, v.y * s, v.z * s}; }

constexpr Vector3 operator*(float s, const Vector3& v) { return v * s; }
