#pragma once

// Filter: a two-pole state-variable filter in the trapezoidal (zero-delay
// feedback) form, which stays stable while the cutoff sweeps every sample.
// Q of 0.707 is flat; higher Q rings at the cutoff.
class Filter {
public:
    enum class Mode { LowPass, HighPass, BandPass, Notch };

    Filter(Mode mode, double sampleRate);

    // Cutoff in Hz (clamped to 10 Hz .. 0.45 x sample rate) and Q (> 0).
    void set(double cutoff, double q);
    double process(double in);
    void reset();

private:
    Mode mode_;
    double sampleRate_;
    double g_ = 0.0, k_ = 1.414, a1_ = 0.0, a2_ = 0.0, a3_ = 0.0;
    double ic1_ = 0.0, ic2_ = 0.0;
    double lastCutoff_ = -1.0, lastQ_ = -1.0;
};
