#include "RecipeParser.h"

#include "LayerParser.h"
#include "LineReader.h"
#include "OutputPath.h"

namespace {
bool applyGlobal(const LineReader& reader, const LineReader::Line& line, SoundRecipe& recipe) {
    const std::string& key = line.words[0];
    if (key == "output") {
        reader.expectArgs(line, 1, 1);
        if (!OutputPath::isSafe(line.words[1]))
            reader.fail(line, "output must be a relative path ending in .ogg without '..'");
        recipe.output = line.words[1];
    } else if (key == "length") {
        reader.expectArgs(line, 1, 1);
        recipe.length = reader.number(line, 1);
        if (recipe.length <= 0.0 || recipe.length > 60.0) reader.fail(line, "length must lie in (0, 60] seconds");
    } else if (key == "loop") {
        reader.expectArgs(line, 1, 1);
        recipe.loopCrossfade = reader.number(line, 1);
        if (recipe.loopCrossfade <= 0.0) reader.fail(line, "loop needs a crossfade above 0 seconds");
    } else if (key == "loudness") {
        reader.expectArgs(line, 1, 1);
        recipe.loudness = reader.number(line, 1);
        if (recipe.loudness > -3.0 || recipe.loudness < -60.0) reader.fail(line, "loudness must lie in -60..-3 dBFS");
    } else if (key == "highpass") {
        reader.expectArgs(line, 1, 1);
        recipe.highpass = reader.number(line, 1);
    } else if (key == "seed") {
        reader.expectArgs(line, 1, 1);
        recipe.seed = static_cast<std::uint64_t>(reader.number(line, 1));
    } else if (key == "reverb") {
        reader.expectArgs(line, 1, 3);
        recipe.reverb.mix = reader.number(line, 1);
        if (line.words.size() > 2) recipe.reverb.size = reader.number(line, 2);
        if (line.words.size() > 3) recipe.reverb.damp = reader.number(line, 3);
    } else {
        return false;
    }
    return true;
}
}  // namespace

SoundRecipe RecipeParser::parse(const std::string& fileName, std::string_view text) {
    LineReader reader(fileName, text);
    const LayerParser layers(reader);
    SoundRecipe recipe;
    recipe.sourceFile = fileName;
    LineReader::Line line;
    while (reader.next(line)) {
        if (line.words[0] == "layer") {
            reader.expectArgs(line, 0, 1);
            recipe.layers.emplace_back();
            if (line.words.size() > 1) recipe.layers.back().name = line.words[1];
        } else if ((!recipe.layers.empty() && layers.apply(line, recipe.layers.back())) ||
                   (recipe.layers.empty() && applyGlobal(reader, line, recipe))) {
            continue;
        } else if (!recipe.layers.empty() && applyGlobal(reader, line, recipe)) {
            reader.fail(line, "'" + line.words[0] + "' belongs before the first layer");
        } else {
            reader.fail(line, "unknown keyword '" + line.words[0] + "'");
        }
    }
    LineReader::Line end{line.number, {"end"}};
    if (recipe.output.empty()) reader.fail(end, "the recipe names no output file");
    if (recipe.layers.empty()) reader.fail(end, "the recipe has no layer");
    if (recipe.loops() && recipe.loopCrossfade > recipe.length / 2)
        reader.fail(end, "the loop crossfade must be at most half the length");
    return recipe;
}
