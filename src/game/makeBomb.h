#pragma once
// The enemy biplane's bomb: a Bomb of `side` at (x, y, z) moving at (vx, vy, vz) units
// per second whose gravity is a quarter of a bomb bay's (y acceleration -32), so that
// it falls slowly onto the palm below. The caller appends it to an entity list.
#include <cstdint>

class Bomb;

inline constexpr float kEnemyBombGravity = -32.0f;  // units per second squared

Bomb* makeBomb(std::int32_t side, float x, float y, float z, float vx, float vy, float vz);
