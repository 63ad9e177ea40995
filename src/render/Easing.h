#pragma once
// Easing curves, random-word tables and small vector operations shared by the game,
// the menus and the cameras.
#include <cstdint>

#include "engine/Vector3.h"

// Two tables of 33 random words, one after the other, embedded by the game's player
// data. Each word holds the upper halves of two consecutive generator states.
struct RandomTablePair {
    std::uint32_t a[33];
    std::uint32_t b[33];
};

// Fills the pair from the shared generator (132 steps) and returns it.
RandomTablePair& initRandomTables(RandomTablePair& tables);

// The curve shapes of easeCurve.
enum EaseType : int {
    kEaseLinear = 0,
    kEaseLinear2 = 1,
    kEaseInQuad = 2,
    kEaseOutQuad = 3,
    kEaseOutSine = 4,
    kEaseInSine = 5,
    kEaseInOutSine = 6,
    kEaseOutBackSine = 7,  // 0, 1 at t = 0.5, 0
    kEaseOutBackTriangle = 8,
    kEaseOutBackParabola = 9,
    kEaseWobbleForward1 = 10,   // 10..13: overshoot forward first, growing stronger
    kEaseWobbleBackward1 = 14,  // 14..17: back off first, growing stronger
    kEaseTypeCount = 18,
};

// out = from + f(t) * (to - from) per component, t clamped to 0..1, in single precision.
// A type of 18 or more leaves `out` untouched.
Vector3& easeCurve(Vector3& out, const Vector3& from, const Vector3& to, float t, int type);

// out = v rotated about z by `angle` radians.
Vector3& rotateVectorZ(const Vector3& v, Vector3& out, float angle);

// |b - a|^2 < r^2 (a distance of exactly r is outside).
bool isWithinRadius(const Vector3& a, const Vector3& b, float r);

// out = v / |v|; a zero-length or not-a-number vector gives (0, 0, 0).
Vector3& normalizeVector3(const Vector3& v, Vector3& out);
