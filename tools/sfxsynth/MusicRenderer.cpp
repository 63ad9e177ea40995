#include "MusicRenderer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "Mastering.h"
#include "Reverb.h"
#include "Rng.h"
#include "Voice.h"

std::vector<MusicRenderer::Event> MusicRenderer::schedule(const Score& score) {
    const double spb = score.secondsPerBeat();
    Rng rng(score.seed);
    std::vector<Event> events;
    double blockBeat = 0.0;
    for (const Score::Block& block : score.song) {
        const double blockBeats = static_cast<double>(block.bars * score.beatsPerBar);
        for (std::size_t index : block.patterns) {
            const Score::Pattern& p = score.patterns[index];
            const Score::Instrument& inst = score.instruments[p.instrument];
            for (double rep = 0.0; rep < blockBeats - 1e-9; rep += p.length) {
                for (const Score::Note& n : p.notes) {
                    if (rep + n.beat >= blockBeats - 1e-9) continue;
                    double beat = blockBeat + rep + n.beat;
                    // Off-beat eighths lean late by the swing share.
                    const double inBeat = n.beat - std::floor(n.beat);
                    if (std::fabs(inBeat - 0.5) < 1e-6) beat += score.swing * 0.5;
                    // A humanized player is a little early or late and never
                    // strikes two notes exactly alike.
                    const double jitter = inst.humanize * rng.bipolar();
                    const double accent = inst.humanize > 0.0 ? 1.0 - 0.12 * rng.uniform() : 1.0;
                    events.push_back({&inst, std::max(0.0, beat * spb + jitter), n.length * spb * inst.legato,
                                      n.frequency, n.velocity * accent});
                }
            }
        }
        blockBeat += blockBeats;
    }
    return events;
}

void MusicRenderer::play(const Event& event, std::uint64_t seed, std::vector<float>& dry, std::vector<float>& send) {
    const Score::Instrument& inst = *event.instrument;
    const std::size_t frames = dry.size() / 2;
    const auto start = static_cast<std::size_t>(event.time * kSampleRate);
    if (start >= frames) return;
    std::vector<float> scratch;
    for (std::size_t l = 0; l < inst.layers.size(); ++l) {
        const LayerSettings& layer = inst.layers[l];
        const Voice voice(layer, kSampleRate);
        const auto length =
            std::min(frames - start, static_cast<std::size_t>(voice.duration(event.gate) * kSampleRate) + 1);
        scratch.assign(length, 0.0f);
        Voice::Note note{event.frequency, event.gate, event.velocity, seed * 131 + l};
        const std::size_t used = voice.render(note, scratch, 0);
        const double pan = std::clamp(inst.pan + layer.pan, -1.0, 1.0);
        const double angle = (pan + 1.0) * std::numbers::pi / 4.0;
        const double gl = std::cos(angle) * inst.gain, gr = std::sin(angle) * inst.gain;
        const double gs = inst.send * inst.gain;
        for (std::size_t i = 0; i < used && i < length; ++i) {
            const double s = scratch[i];
            dry[(start + i) * 2] += static_cast<float>(s * gl);
            dry[(start + i) * 2 + 1] += static_cast<float>(s * gr);
            send[start + i] += static_cast<float>(s * gs);
        }
    }
}

std::vector<float> MusicRenderer::render(const Score& score) {
    const auto loopFrames = static_cast<std::size_t>(std::llround(score.lengthSeconds() * kSampleRate));
    const std::size_t frames = loopFrames + static_cast<std::size_t>(kTailSeconds * kSampleRate);
    std::vector<float> mix(frames * 2, 0.0f);
    std::vector<float> send(frames, 0.0f);
    const std::vector<Event> events = schedule(score);
    for (std::size_t i = 0; i < events.size(); ++i) play(events[i], score.seed * 1000003ull + i, mix, send);
    if (score.reverb.mix > 0.0) {
        Reverb room(score.reverb, kSampleRate);
        for (std::size_t i = 0; i < frames; ++i) {
            double l = 0.0, r = 0.0;
            room.process(send[i], l, r);
            mix[i * 2] += static_cast<float>(l);
            mix[i * 2 + 1] += static_cast<float>(r);
        }
    }
    Mastering::highPass(mix, 2, kSampleRate, 25.0);
    Mastering::wrapTail(mix, 2, loopFrames);
    master(score, mix);
    return mix;
}

void MusicRenderer::master(const Score& score, std::vector<float>& mix) {
    const std::size_t frames = mix.size() / 2;  // two channels
    const double seconds = static_cast<double>(frames) / kSampleRate;
    const double measured = Mastering::loudestWindowDb(mix, 2, kSampleRate, seconds);
    if (measured < -150.0) return;
    // Plain scaling, no limiter: a limiter's gain would not match across the
    // loop seam.
    const double gain =
        std::min(std::pow(10.0, (score.loudness - measured) / 20.0), 0.84 / std::max(1e-9, Mastering::peak(mix)));
    Mastering::scale(mix, gain);
}
