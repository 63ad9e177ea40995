#include "Rng.h"

Rng::Rng(std::uint64_t seed)
    // Mix the seed so that small neighbouring seeds give unrelated streams; a
    // zero state would stick at zero forever.
    : state_(seed * 0x9E3779B97F4A7C15ull ^ 0xD1B54A32D192ED03ull) {
    if (state_ == 0) state_ = 0x2545F4914F6CDD1Dull;
    for (int i = 0; i < 4; ++i) next();
}

std::uint64_t Rng::next() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return state_ * 0x2545F4914F6CDD1Dull;
}

double Rng::uniform() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }

double Rng::bipolar() { return uniform() * 2.0 - 1.0; }
