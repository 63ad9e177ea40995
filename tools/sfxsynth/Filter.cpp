#include "Filter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

Filter::Filter(Mode mode, double sampleRate) : mode_(mode), sampleRate_(sampleRate) { set(1000.0, 0.707); }

void Filter::set(double cutoff, double q) {
    cutoff = std::clamp(cutoff, 10.0, sampleRate_ * 0.45);
    q = std::max(q, 0.05);
    // tan() per sample is the cost of this filter; sweeps change slowly
    // compared to the sample rate, so skip recomputing on tiny moves.
    if (std::fabs(cutoff - lastCutoff_) < 1e-4 * cutoff && q == lastQ_) return;
    lastCutoff_ = cutoff;
    lastQ_ = q;
    g_ = std::tan(std::numbers::pi * cutoff / sampleRate_);
    k_ = 1.0 / q;
    a1_ = 1.0 / (1.0 + g_ * (g_ + k_));
    a2_ = g_ * a1_;
    a3_ = g_ * a2_;
}

double Filter::process(double in) {
    const double v3 = in - ic2_;
    const double v1 = a1_ * ic1_ + a2_ * v3;
    const double v2 = ic2_ + a2_ * ic1_ + a3_ * v3;
    ic1_ = 2.0 * v1 - ic1_;
    ic2_ = 2.0 * v2 - ic2_;
    switch (mode_) {
        case Mode::LowPass:
            return v2;
        case Mode::BandPass:
            return v1;
        case Mode::HighPass:
            return in - k_ * v1 - v2;
        case Mode::Notch:
            return in - k_ * v1;
    }
    return v2;
}

void Filter::reset() { ic1_ = ic2_ = 0.0; }
