#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "Filter.h"
#include "LayerSettings.h"
#include "NoiseSource.h"
#include "Oscillator.h"

// Voice: plays one layer once (or several times when the layer repeats) and
// adds the result into a mono buffer. Used for every layer of an effect and
// for every note of an instrument.
class Voice {
public:
    struct Note {
        double frequency = 440.0;  // Hz of the note; layers with their own pitch ignore it
        double gate = 1.0;         // seconds until note-off
        double velocity = 1.0;     // gain factor 0..1
        std::uint64_t seed = 1;    // noise and phase randomness
    };

    Voice(const LayerSettings& layer, double sampleRate);

    // Adds the layer into `out` from sample `offset` on, never past
    // `out.size()`. Returns the number of samples after `offset` it touched.
    std::size_t render(const Note& note, std::vector<float>& out, std::size_t offset) const;

    // Seconds the layer sounds for a note held `gate` seconds (release included).
    double duration(double gate) const;

private:
    struct Strike {
        double time;   // seconds after the note's start
        double gain;   // factor
        double pitch;  // factor
    };

    // One detuned copy of the layer's source (unison).
    struct Copy {
        std::unique_ptr<Oscillator> osc;     // set for pitched waves
        std::unique_ptr<NoiseSource> noise;  // set for noise
        double detune = 1.0;                 // pitch factor
    };

    // Read positions in the layer's curves, advanced as time goes on.
    struct Cursors {
        std::size_t pitch = 0, bend = 0, amp = 0;
        std::vector<std::size_t> cutoff;  // one per filter
    };

    std::vector<Strike> strikes(const Note& note) const;
    std::vector<Copy> makeCopies(const Note& note) const;
    double frequencyAt(const Note& note, const Strike& strike, double t, Cursors& cursors) const;
    double filter(double x, double t, double keyFactor, std::vector<Filter>& filters, Cursors& cursors) const;
    std::size_t renderStrike(const Note& note, const Strike& strike, std::vector<float>& out, std::size_t offset) const;
    double tremolo(double t, std::uint64_t seed) const;

    const LayerSettings& layer_;
    double sampleRate_;
};
