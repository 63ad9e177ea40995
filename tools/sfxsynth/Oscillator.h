#pragma once
#include <array>

// Oscillator: a periodic waveform at a frequency that may change every sample.
// Saw, square and pulse are band-limited with polynomial steps (PolyBLEP) so
// that high notes and fast sweeps do not alias into whistles. Output is in
// [-1, 1] (the metal wave is scaled into that range too).
class Oscillator {
public:
    enum class Wave { Sine, Triangle, Saw, Square, Pulse, Metal };

    Oscillator(Wave wave, double sampleRate, double startPhase = 0.0);

    // Pulse width for Wave::Pulse, as a fraction of the period in (0, 1).
    void setPulseWidth(double width);

    // One sample at `frequency` Hz. `phaseOffset` (in cycles) shifts the
    // reading point: phase modulation, used for FM timbres.
    double next(double frequency, double phaseOffset = 0.0);

private:
    double square(double phase, double step, double width) const;
    double metal(double frequency);

    Wave wave_;
    double sampleRate_;
    double phase_;
    double width_ = 0.5;
    std::array<double, 6> metalPhases_{};
};
