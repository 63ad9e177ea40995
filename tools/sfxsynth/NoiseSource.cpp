#include "NoiseSource.h"

NoiseSource::NoiseSource(Colour colour, std::uint64_t seed, double sampleRate, double density)
    : colour_(colour), rng_(seed), sampleRate_(sampleRate), density_(density) {}

double NoiseSource::pink(double white) {
    // A sum of first-order low-passes whose corners are spaced so that the
    // slopes add up to -3 dB per octave across the audible band.
    b_[0] = 0.99886 * b_[0] + white * 0.0555179;
    b_[1] = 0.99332 * b_[1] + white * 0.0750759;
    b_[2] = 0.96900 * b_[2] + white * 0.1538520;
    b_[3] = 0.86650 * b_[3] + white * 0.3104856;
    b_[4] = 0.55000 * b_[4] + white * 0.5329522;
    b_[5] = -0.7616 * b_[5] - white * 0.0168980;
    const double out = b_[0] + b_[1] + b_[2] + b_[3] + b_[4] + b_[5] + b_[6] + white * 0.5362;
    b_[6] = white * 0.115926;
    return out * 0.2;
}

double NoiseSource::crackle() {
    if (rng_.uniform() < density_ / sampleRate_) click_ = rng_.bipolar() * (0.5 + 0.5 * rng_.uniform());
    const double out = click_;
    // Each click dies within a fraction of a millisecond: a tick, not a tone.
    click_ *= 0.6;
    return out;
}

double NoiseSource::next() {
    const double white = rng_.bipolar();
    switch (colour_) {
        case Colour::White:
            return white;
        case Colour::Pink:
            return pink(white);
        case Colour::Brown:
            // The leak keeps the integrator from wandering off into DC.
            brown_ = 0.995 * brown_ + white * 0.06;
            return brown_ * 2.5;
        case Colour::Crackle:
            return crackle();
    }
    return 0.0;
}
