#include "Voice.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

#include "Envelope.h"
#include "Filter.h"
#include "NoiseSource.h"
#include "Oscillator.h"
#include "Rng.h"

namespace {
constexpr double kTwoPi = 2.0 * std::numbers::pi;
}  // namespace

Voice::Voice(const LayerSettings& layer, double sampleRate) : layer_(layer), sampleRate_(sampleRate) {}

double Voice::duration(double gate) const {
    const double lastStrike = layer_.repeat.every * (layer_.repeat.count - 1) + layer_.repeat.jitter;
    const double held = layer_.gate > 0.0 ? layer_.gate : gate;
    return layer_.start + lastStrike + held + std::max(layer_.envelope.release, 0.001) + 0.01;
}

std::vector<Voice::Strike> Voice::strikes(const Note& note) const {
    // The strikes draw from their own stream so that adding a repeat to a
    // layer does not change the noise of its first strike.
    Rng rng(note.seed ^ 0x5bd1e995u);
    const LayerSettings::Repeat& r = layer_.repeat;
    std::vector<Strike> list;
    double gain = 1.0, pitch = 1.0;
    for (int i = 0; i < r.count; ++i) {
        const double t = layer_.start + r.every * i + (i > 0 ? r.jitter * rng.bipolar() : 0.0);
        const double g = gain * (1.0 - r.gainJitter * rng.uniform());
        const double p = pitch * (1.0 + r.pitchJitter * rng.bipolar());
        list.push_back({std::max(0.0, t), g, p});
        gain *= r.gainStep;
        pitch *= r.pitchStep;
    }
    return list;
}

std::size_t Voice::render(const Note& note, std::vector<float>& out, std::size_t offset) const {
    std::size_t touched = 0;
    std::uint64_t strikeSeed = note.seed;
    for (const Strike& s : strikes(note)) {
        Note n = note;
        n.seed = strikeSeed++;
        touched = std::max(touched, renderStrike(n, s, out, offset));
    }
    return touched;
}

double Voice::tremolo(double t, std::uint64_t seed) const {
    if (layer_.tremoloDepth <= 0.0) return 1.0;
    const double cycles = t * layer_.tremoloRate;
    const double phase = cycles - std::floor(cycles);
    double lfo = 0.0;  // 0 = full level, 1 = fully dipped
    switch (layer_.tremoloShape) {
        case LayerSettings::LfoShape::Sine:
            lfo = 0.5 - 0.5 * std::cos(kTwoPi * phase);
            break;
        case LayerSettings::LfoShape::Square: {
            // Edges rounded over 4% of the cycle: a hard gate would click.
            constexpr double edge = 0.04;
            auto smooth = [](double x) { return 0.5 - 0.5 * std::cos(std::numbers::pi * std::clamp(x, 0.0, 1.0)); };
            lfo = smooth((phase - 0.5 + edge / 2) / edge) - smooth((phase - 1.0 + edge / 2) / edge) +
                  (1.0 - smooth((phase + edge / 2) / edge));
            break;
        }
        case LayerSettings::LfoShape::Ramp: {
            // Falls over the cycle like a struck note; the jump back up takes
            // 2 ms so that each stroke has an attack, not a click.
            const double rise = std::min(0.25, 0.002 * layer_.tremoloRate);
            lfo = phase < rise ? 1.0 - phase / rise : (phase - rise) / (1.0 - rise);
            break;
        }
        case LayerSettings::LfoShape::Random: {
            // A new random depth every cycle, glided into smoothly: the
            // uneven churn of fire, turbulence and worn engines.
            const auto cycle = static_cast<std::uint64_t>(cycles);
            const double a = Rng(seed ^ (cycle * 0x9E3779B97F4A7C15ull)).uniform();
            const double b = Rng(seed ^ ((cycle + 1) * 0x9E3779B97F4A7C15ull)).uniform();
            lfo = a + (b - a) * (0.5 - 0.5 * std::cos(std::numbers::pi * phase));
            break;
        }
    }
    return 1.0 - layer_.tremoloDepth * lfo;
}

std::vector<Voice::Copy> Voice::makeCopies(const Note& note) const {
    Rng rng(note.seed * 7919 + 17);
    std::vector<Copy> copies(static_cast<std::size_t>(layer_.unison));
    for (std::size_t c = 0; c < copies.size(); ++c) {
        const double spread = copies.size() > 1 ? (2.0 * c / (copies.size() - 1) - 1.0) : 0.0;
        copies[c].detune = std::pow(2.0, spread * layer_.unisonCents / 1200.0);
        if (layer_.source == LayerSettings::Source::Noise) {
            copies[c].noise =
                std::make_unique<NoiseSource>(layer_.noise, note.seed * 31 + c, sampleRate_, layer_.density);
        } else {
            // Detuned copies start at random phases, or they would sum to one
            // loud click at the start.
            copies[c].osc =
                std::make_unique<Oscillator>(layer_.wave, sampleRate_, copies.size() > 1 ? rng.uniform() : 0.0);
            copies[c].osc->setPulseWidth(layer_.pulseWidth);
        }
    }
    return copies;
}

double Voice::frequencyAt(const Note& note, const Strike& strike, double t, Cursors& cursors) const {
    double freq = layer_.pitch.empty() ? note.frequency * layer_.ratio : layer_.pitch.atSequential(t, cursors.pitch);
    freq *= strike.pitch;
    if (!layer_.bend.empty()) freq *= layer_.bend.atSequential(t, cursors.bend);
    if (layer_.vibratoDepth != 0.0) {
        const double fade = layer_.vibratoDelay > 0.0 ? std::min(1.0, t / layer_.vibratoDelay) : 1.0;
        freq *= std::pow(2.0, fade * layer_.vibratoDepth * std::sin(kTwoPi * layer_.vibratoRate * t) / 12.0);
    }
    return freq;
}

double Voice::filter(double x, double t, double keyFactor, std::vector<Filter>& filters, Cursors& cursors) const {
    for (std::size_t f = 0; f < filters.size(); ++f) {
        const auto& spec = layer_.filters[f];
        double cutoff = spec.cutoff.atSequential(t, cursors.cutoff[f]);
        if (spec.keyTrack != 0.0) cutoff *= std::pow(keyFactor, spec.keyTrack);
        filters[f].set(cutoff, spec.q);
        x = filters[f].process(x);
    }
    return x;
}

// Contract: renders one strike of the layer starting `strike.time` seconds
// after `offset`; reads only the layer and the note; adds into `out` and
// returns how many samples after `offset` it reached.
std::size_t Voice::renderStrike(const Note& note, const Strike& strike, std::vector<float>& out,
                                std::size_t offset) const {
    const std::size_t begin = offset + static_cast<std::size_t>(std::llround(strike.time * sampleRate_));
    if (begin >= out.size()) return 0;
    std::vector<Copy> copies = makeCopies(note);
    Oscillator modulator(Oscillator::Wave::Sine, sampleRate_);
    std::vector<Filter> filters;
    for (const auto& f : layer_.filters) filters.emplace_back(f.mode, sampleRate_);
    Envelope env(layer_.envelope, sampleRate_);
    Cursors cursors;
    cursors.cutoff.assign(filters.size(), 0);
    const double held = layer_.gate > 0.0 ? layer_.gate : note.gate;
    const auto gateSamples = static_cast<std::size_t>(held * sampleRate_);
    const double fmDecayCoef = layer_.fmDecay > 0.0 ? 6.907755 / layer_.fmDecay : 0.0;
    const double driveNorm = layer_.drive > 0.0 ? 1.0 / std::tanh(layer_.drive) : 1.0;
    const double level = layer_.gain * note.velocity * strike.gain / std::sqrt(static_cast<double>(copies.size()));

    std::size_t i = 0;
    for (; begin + i < out.size() && !env.finished(); ++i) {
        const double t = static_cast<double>(i) / sampleRate_;
        if (i == gateSamples) env.noteOff();
        const double freq = frequencyAt(note, strike, t, cursors);
        double phaseOffset = 0.0;
        if (layer_.fmRatio > 0.0) {
            const double index = layer_.fmIndex * (fmDecayCoef > 0.0 ? std::exp(-fmDecayCoef * t) : 1.0);
            phaseOffset = index * modulator.next(freq * layer_.fmRatio) / kTwoPi;
        }
        double x = 0.0;
        for (auto& c : copies) x += c.noise ? c.noise->next() : c.osc->next(freq * c.detune, phaseOffset);
        x = filter(x, t, note.frequency / 440.0, filters, cursors);
        if (layer_.drive > 0.0) x = std::tanh(layer_.drive * x) * driveNorm;
        double a = env.next() * tremolo(t, note.seed);
        if (!layer_.amp.empty()) a *= layer_.amp.atSequential(t, cursors.amp);
        out[begin + i] += static_cast<float>(x * a * level);
    }
    return begin - offset + i;
}
