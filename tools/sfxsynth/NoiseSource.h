#pragma once
#include "Rng.h"

// NoiseSource: seeded noise in roughly [-1, 1].
// - White: flat spectrum (hiss, sizzle).
// - Pink: -3 dB per octave (rain, surf, the body of explosions).
// - Brown: -6 dB per octave (rumble, distant thunder).
// - Crackle: sparse random clicks at about `density` per second (fire,
//   debris, the grit of an explosion tail).
class NoiseSource {
public:
    enum class Colour { White, Pink, Brown, Crackle };

    NoiseSource(Colour colour, std::uint64_t seed, double sampleRate, double density = 200.0);

    double next();

private:
    double pink(double white);
    double crackle();

    Colour colour_;
    Rng rng_;
    double sampleRate_;
    double density_;
    double b_[7]{};
    double brown_ = 0.0;
    double click_ = 0.0;
};
