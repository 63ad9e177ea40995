#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "LayerSettings.h"
#include "ReverbSettings.h"

// SoundRecipe: everything needed to render one sound effect file (mono).
// Plain data, filled by RecipeParser and read by EffectRenderer.
struct SoundRecipe {
    std::string sourceFile;      // the recipe's file, for messages
    std::string output;          // path of the .ogg below the output folder
    double length = 1.0;         // seconds of the finished file
    double loopCrossfade = 0.0;  // seconds; > 0 makes a seamless loop
    double loudness = -16.0;     // dBFS target of the loudest 300 ms (weighted RMS)
    double highpass = 30.0;      // Hz; removes rumble and DC from the mix
    std::uint64_t seed = 1;
    ReverbSettings reverb;
    std::vector<LayerSettings> layers;

    bool loops() const { return loopCrossfade > 0.0; }
};
