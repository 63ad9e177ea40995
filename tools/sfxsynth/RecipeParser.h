#pragma once
#include <string>
#include <string_view>

#include "SoundRecipe.h"

// RecipeParser: turns the text of one sound recipe into a SoundRecipe. The
// format is described in data/sound/README.md. Throws ParseError with the
// file name and line number on the first mistake.
class RecipeParser {
public:
    static SoundRecipe parse(const std::string& fileName, std::string_view text);
};
