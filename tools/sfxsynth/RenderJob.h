#pragma once
#include <string>
#include <variant>

#include "Score.h"
#include "SoundRecipe.h"

// RenderJob: one output file to make, either an effect or a piece of music.
// Plain data.
struct RenderJob {
    std::variant<SoundRecipe, Score> source;

    const std::string& output() const {
        return std::holds_alternative<SoundRecipe>(source) ? std::get<SoundRecipe>(source).output
                                                           : std::get<Score>(source).output;
    }
    bool isMusic() const { return std::holds_alternative<Score>(source); }
};
