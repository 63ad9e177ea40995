#include "engine/Random.h"

namespace {
std::uint32_t generatorState = 1;
}

namespace Random {
void seed(std::uint32_t s) { generatorState = s; }
std::uint32_t state() { return generatorState; }
std::uint32_t step() { return generatorState = generatorState * kMultiplier + kIncrement; }
std::uint32_t next() { return step() >> 16; }
float fraction() { return static_cast<float>(next()) * (1.0f / 65536.0f); }
}  // namespace Random
