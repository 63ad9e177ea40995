#pragma once
// The program's one random generator, shared by the game, the menus, the sound pitch
// variation and the random tables. Main thread only: every draw advances the same state
// in program order, which keeps a seeded game repeatable.
#include <cstdint>

namespace Random {
inline constexpr std::uint32_t kMultiplier = 214013;
inline constexpr std::uint32_t kIncrement = 2531011;

void seed(std::uint32_t state);
std::uint32_t state();
// Advances the state and returns it whole.
std::uint32_t step();
// Advances the state and returns its upper 16 bits: 0 to 65535.
std::uint32_t next();
// next() as a fraction in [0, 1).
float fraction();
}  // namespace Random
