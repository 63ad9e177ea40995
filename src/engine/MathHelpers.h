#pragma once
// Small single-precision interpolation helpers.
#include <cstdint>

struct Vector3;

float lerpClamped(float a, float b, float t);         // t clamped to 0..1
float inverseLerp(float a, float b, float x);         // 0 when a == b
float inverseLerpClamped(float a, float b, float x);  // inverseLerp clamped to 0..1
float remap(float outA, float outB, float inA, float inB, float x);
float remapClamped(float outA, float outB, float inA, float inB, float x);
float vectorLength(const Vector3& v);
float pointDistance(const Vector3& a, const Vector3& b);

// Per channel of two ARGB colours: c0 + (c1 - c0) * t in single precision, truncated
// toward zero; the low 8 bits of each result are the channel. t is not clamped.
std::uint32_t lerpColor(std::uint32_t c0, std::uint32_t c1, float t);
