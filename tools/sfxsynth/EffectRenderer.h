#pragma once
#include <vector>

#include "SoundRecipe.h"

// EffectRenderer: renders a SoundRecipe to mono float samples at 44.1 kHz,
// mastered: layers summed, rumble removed, room added, loop seam closed,
// loudness brought to the recipe's target and peaks held under -1.9 dBFS.
class EffectRenderer {
public:
    static constexpr double kSampleRate = 44100.0;
    static constexpr double kMaxMakeUpDb = 4.0;  // loudness restored after limiting
    static constexpr double kCeiling = 0.8;      // -1.9 dBFS: room for the encoder's overshoot

    static std::vector<float> render(const SoundRecipe& recipe);

private:
    static std::vector<float> mixLayers(const SoundRecipe& recipe, std::size_t frames);
    static void addReverb(const ReverbSettings& spec, std::vector<float>& samples);
    static void master(const SoundRecipe& recipe, std::vector<float>& samples);
};
