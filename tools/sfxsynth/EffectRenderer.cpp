#include "EffectRenderer.h"

#include <algorithm>
#include <cmath>

#include "Mastering.h"
#include "Reverb.h"
#include "Voice.h"

std::vector<float> EffectRenderer::render(const SoundRecipe& recipe) {
    const auto loopFrames = static_cast<std::size_t>(std::llround(recipe.length * kSampleRate));
    const auto fadeFrames = static_cast<std::size_t>(std::llround(recipe.loopCrossfade * kSampleRate));
    std::vector<float> samples = mixLayers(recipe, loopFrames + fadeFrames);
    Mastering::highPass(samples, 1, kSampleRate, recipe.highpass);
    if (recipe.reverb.mix > 0.0) addReverb(recipe.reverb, samples);
    if (recipe.loops())
        Mastering::crossfadeLoop(samples, 1, loopFrames, fadeFrames);
    else
        Mastering::fadeOut(samples, 1, kSampleRate, std::min(0.01, recipe.length / 4));
    master(recipe, samples);
    return samples;
}

std::vector<float> EffectRenderer::mixLayers(const SoundRecipe& recipe, std::size_t frames) {
    std::vector<float> samples(frames, 0.0f);
    const double total = static_cast<double>(frames) / kSampleRate;
    for (std::size_t i = 0; i < recipe.layers.size(); ++i) {
        const LayerSettings& layer = recipe.layers[i];
        Voice::Note note;
        note.frequency = 440.0;
        note.gate = std::max(0.001, total - layer.start);
        note.seed = recipe.seed * 1000003ull + i * 7777ull + 1;
        Voice(layer, kSampleRate).render(note, samples, 0);
    }
    return samples;
}

void EffectRenderer::addReverb(const ReverbSettings& spec, std::vector<float>& samples) {
    Reverb room(spec, kSampleRate);
    for (float& s : samples) {
        double l = 0.0, r = 0.0;
        room.process(s, l, r);
        s = static_cast<float>(s + 0.5 * (l + r));
    }
}

void EffectRenderer::master(const SoundRecipe& recipe, std::vector<float>& samples) {
    const double measured = Mastering::loudestWindowDb(samples, 1, kSampleRate, 0.3);
    if (measured < -150.0) return;  // silence stays silence; the data test flags it
    double gain = std::pow(10.0, (recipe.loudness - measured) / 20.0);
    if (recipe.loops()) {
        // A limiter's gain would differ on the two sides of the seam; loops
        // are steady sounds, so plain scaling keeps them under the ceiling.
        gain = std::min(gain, kCeiling / std::max(1e-9, Mastering::peak(samples)));
        Mastering::scale(samples, gain);
        return;
    }
    Mastering::scale(samples, gain);
    Mastering::limit(samples, 1, kSampleRate, kCeiling);
    // Limiting a hard attack also lowers the body that follows it; make up
    // the lost loudness, a few decibels at most, so punchy sounds are not
    // quieter than soft ones of the same target.
    double makeUp = 0.0;
    for (int pass = 0; pass < 3; ++pass) {
        const double shortfall = recipe.loudness - Mastering::loudestWindowDb(samples, 1, kSampleRate, 0.3);
        const double step = std::min(shortfall, kMaxMakeUpDb - makeUp);
        if (step < 0.25) break;
        makeUp += step;
        Mastering::scale(samples, std::pow(10.0, step / 20.0));
        Mastering::limit(samples, 1, kSampleRate, kCeiling);
    }
}
