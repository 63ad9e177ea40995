#include "render/Easing.h"

#include <cmath>

#include "engine/Random.h"

namespace {
// Single-precision constants widened to double, as the curves have always used them.
constexpr double kHalfPi = 1.5707963705062866;
constexpr double kPi = 3.1415927410125732;
constexpr double kThreeHalfPi = 4.71238899230957;
constexpr double kTwoPi = 6.2831854820251465;
constexpr double kWobble[4] = {0.03978873466575142, 0.07957746933150284, 0.11936620399725427, 0.15915493866300567};

float weight(float t, int type) {
    const double td = t;
    switch (type) {
        case 0:
        case 1:
            return t;
        case 2:
            return t * t;
        case 3:
            return 1.0f - (1.0f - t) * (1.0f - t);
        case 4:
            return static_cast<float>(std::sin(td * kHalfPi));
        case 5:
            return static_cast<float>(std::sin(td * kHalfPi + kThreeHalfPi) + 1.0);
        case 6:
            return static_cast<float>(0.5 * std::sin(td * kPi + kThreeHalfPi) + 0.5);
        case 7:
            return static_cast<float>(std::sin(td * kPi));
        case 8:
            return t < 0.5f ? 2.0f * t : 2.0f * (1.0f - t);
        case 9:
            return 1.0f - (2.0f * t - 1.0f) * (2.0f * t - 1.0f);
        default:
            break;
    }
    const double k = kWobble[(type - 10) % 4];
    const double phase = type >= 14 ? kPi : 0.0;
    return static_cast<float>(td + k * std::sin(td * kTwoPi + phase));
}

std::uint32_t combine(std::uint32_t low, std::uint32_t high) { return (high & 0xFFFF0000u) | (low >> 16); }
}  // namespace

RandomTablePair& initRandomTables(RandomTablePair& tables) {
    for (int i = 0; i < 32; ++i) {
        const std::uint32_t s1 = Random::step(), s2 = Random::step();
        tables.a[i] = combine(s1, s2);
        const std::uint32_t s3 = Random::step(), s4 = Random::step();
        tables.b[i] = combine(s3, s4);
    }
    Random::step();
    Random::step();
    const std::uint32_t s7 = Random::step(), s8 = Random::step();
    tables.a[32] = tables.b[32] = combine(s7, s8);
    return tables;
}

Vector3& easeCurve(Vector3& out, const Vector3& from, const Vector3& to, float t, int type) {
    if (type < 0 || type >= kEaseTypeCount) return out;
    t = t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
    const float f = weight(t, type);
    out.x = from.x + f * (to.x - from.x);
    out.y = from.y + f * (to.y - from.y);
    out.z = from.z + f * (to.z - from.z);
    return out;
}

Vector3& rotateVectorZ(const Vector3& v, Vector3& out, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    // Row vectors times the rotation matrix: x' = x c - y s, y' = x s + y c.
    const Vector3 r{v.x * c - v.y * s, v.x * s + v.y * c, v.z};
    out = r;
    return out;
}

bool isWithinRadius(const Vector3& a, const Vector3& b, float r) {
    const float dx = b.x - a.x, dy = b.y - a.y, dz = b.z - a.z;
    return dx * dx + dy * dy + dz * dz < r * r;
}

Vector3& normalizeVector3(const Vector3& v, Vector3& out) {
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (!(length > 0.0f) || !std::isfinite(length)) {
        out = Vector3{0.0f, 0.0f, 0.0f};
        return out;
    }
    const float inverse = 1.0f / length;
    out = Vector3{v.x * inverse, v.y * inverse, v.z * inverse};
    return out;
}
