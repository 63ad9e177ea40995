#pragma once
#include <string>
#include <vector>

#include "Curve.h"
#include "Envelope.h"
#include "Filter.h"
#include "NoiseSource.h"
#include "Oscillator.h"

// LayerSettings: one sound source of a recipe or an instrument, with its own pitch,
// filters, modulation and envelope. Layers of one sound are summed. Plain data,
// filled by LayerParser and read by Voice.
struct LayerSettings {
    enum class Source { Oscillator, Noise };
    enum class LfoShape { Sine, Square, Ramp, Random };

    struct FilterSpec {
        Filter::Mode mode = Filter::Mode::LowPass;
        Curve cutoff{1000.0};  // Hz over the voice's time
        double q = 0.707;
        double keyTrack = 0.0;  // 1 = cutoff follows the note (music), relative to A4
    };

    struct Repeat {
        int count = 1;             // how many strikes of the layer
        double every = 0.0;        // seconds between strikes
        double jitter = 0.0;       // random +- seconds on each strike time
        double gainStep = 1.0;     // gain factor from one strike to the next
        double pitchStep = 1.0;    // pitch factor from one strike to the next
        double pitchJitter = 0.0;  // random +- fraction of pitch per strike
        double gainJitter = 0.0;   // random - fraction of gain per strike
    };

    std::string name;
    Source source = Source::Oscillator;
    Oscillator::Wave wave = Oscillator::Wave::Sine;
    NoiseSource::Colour noise = NoiseSource::Colour::White;
    double density = 200.0;     // crackle clicks per second
    double pulseWidth = 0.5;    // fraction of the period
    Curve pitch;                // Hz; when empty the note's pitch x ratio
    double ratio = 1.0;         // multiple of the note's pitch (music)
    Curve bend;                 // pitch multiplier over time; empty = 1
    double vibratoRate = 0.0;   // Hz
    double vibratoDepth = 0.0;  // semitones
    double vibratoDelay = 0.0;  // seconds before vibrato fades in
    double tremoloRate = 0.0;   // Hz
    double tremoloDepth = 0.0;  // 0..1 of the amplitude
    LfoShape tremoloShape = LfoShape::Sine;
    double fmRatio = 0.0;  // modulator pitch / carrier pitch; 0 = no FM
    double fmIndex = 0.0;  // modulation depth in radians
    double fmDecay = 0.0;  // seconds for the index to fall by 60 dB; 0 = steady
    std::vector<FilterSpec> filters;
    Envelope::Shape envelope;
    Curve amp;  // extra gain over time; empty = 1
    double gain = 1.0;
    double drive = 0.0;        // tanh saturation amount; 0 = clean
    double start = 0.0;        // seconds after the sound's start
    double gate = -1.0;        // seconds the note is held; < 0 = the sound's length
    double pan = 0.0;          // -1 left .. 1 right (music only)
    int unison = 1;            // detuned copies
    double unisonCents = 0.0;  // spread of the copies
    Repeat repeat;
};
