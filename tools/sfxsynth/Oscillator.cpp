#include "Oscillator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
// Correction around a unit step at phase 0 for a wave that advances `step`
// cycles per sample.
double polyBlep(double t, double step) {
    if (step <= 0.0) return 0.0;
    if (t < step) {
        t /= step;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - step) {
        t = (t - 1.0) / step;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

double wrap(double phase) { return phase - std::floor(phase); }

// Inharmonic ratios of a cluster of square waves: a metallic, bell-plate
// colour once band-passed (cymbals, hats, sleigh bells).
constexpr std::array<double, 6> kMetalRatios{1.0, 1.4471, 1.6170, 1.9265, 2.5028, 2.6637};
}  // namespace

Oscillator::Oscillator(Wave wave, double sampleRate, double startPhase)
    : wave_(wave), sampleRate_(sampleRate), phase_(wrap(startPhase)) {
    for (std::size_t i = 0; i < metalPhases_.size(); ++i)
        metalPhases_[i] = wrap(startPhase + 0.37 * static_cast<double>(i));
}

void Oscillator::setPulseWidth(double width) { width_ = std::clamp(width, 0.02, 0.98); }

double Oscillator::square(double phase, double step, double width) const {
    double v = phase < width ? 1.0 : -1.0;
    v += polyBlep(phase, step);
    v -= polyBlep(wrap(phase - width + 1.0), step);
    return v;
}

double Oscillator::metal(double frequency) {
    double sum = 0.0;
    for (std::size_t i = 0; i < metalPhases_.size(); ++i) {
        const double step = std::min(0.5, frequency * kMetalRatios[i] / sampleRate_);
        sum += square(metalPhases_[i], step, 0.5);
        metalPhases_[i] = wrap(metalPhases_[i] + step);
    }
    return sum / 3.0;
}

double Oscillator::next(double frequency, double phaseOffset) {
    if (wave_ == Wave::Metal) return metal(frequency);
    const double step = std::clamp(frequency / sampleRate_, 0.0, 0.5);
    const double p = wrap(phase_ + phaseOffset);
    double v = 0.0;
    switch (wave_) {
        case Wave::Sine:
            v = std::sin(2.0 * std::numbers::pi * p);
            break;
        case Wave::Triangle:
            v = 1.0 - 4.0 * std::fabs(p - 0.5);
            break;
        case Wave::Saw:
            v = 2.0 * p - 1.0 - polyBlep(p, step);
            break;
        case Wave::Square:
            v = square(p, step, 0.5);
            break;
        case Wave::Pulse:
            v = square(p, step, width_);
            break;
        case Wave::Metal:
            break;
    }
    phase_ = wrap(phase_ + step);
    return v;
}
