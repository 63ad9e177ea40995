#include "engine/MathHelpers.h"

#include <algorithm>
#include <cmath>

#include "engine/Vector3.h"

// Results must not depend on whether the compiler fuses a multiply and an add: colour
// and interpolation values feed the simulation, which has to replay identically. GCC
// fuses nothing in ISO mode; clang would where the target has FMA.
#ifdef __clang__
#pragma STDC FP_CONTRACT OFF
#endif

namespace {

// One 8-bit channel of lerpColor. A result outside the int range (a large t, or NaN)
// has no defined truncation; it gives 0, the low byte of what the hardware conversion
// yields for such values.
std::uint32_t lerpChannel(std::uint32_t c0, std::uint32_t c1, int shift, float t) {
    const float from = static_cast<float>((c0 >> shift) & 0xFF);
    const float to = static_cast<float>((c1 >> shift) & 0xFF);
    const float value = from + (to - from) * t;
    if (!(value > -2147483648.0f && value < 2147483648.0f)) return 0;
    const auto truncated = static_cast<std::uint32_t>(static_cast<int>(value));
    return (truncated & 0xFF) << shift;
}

}  // namespace

float lerpClamped(float a, float b, float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    return a + (b - a) * t;
}

float inverseLerp(float a, float b, float x) {
    if (a == b) return 0.0f;
    return (x - a) / (b - a);
}

float inverseLerpClamped(float a, float b, float x) { return std::clamp(inverseLerp(a, b, x), 0.0f, 1.0f); }

float remap(float outA, float outB, float inA, float inB, float x) {
    return outA + (outB - outA) * inverseLerp(inA, inB, x);
}

float remapClamped(float outA, float outB, float inA, float inB, float x) {
    return outA + (outB - outA) * inverseLerpClamped(inA, inB, x);
}

float vectorLength(const Vector3& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

float pointDistance(const Vector3& a, const Vector3& b) { return vectorLength(b - a); }

std::uint32_t lerpColor(std::uint32_t c0, std::uint32_t c1, float t) {
    return lerpChannel(c0, c1, 24, t) | lerpChannel(c0, c1, 16, t) | lerpChannel(c0, c1, 8, t) |
           lerpChannel(c0, c1, 0, t);
}
