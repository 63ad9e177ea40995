#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "ParseError.h"
#include "RecipeParser.h"

namespace {

// The line a parse error names, or 0 when the text parsed.
int errorLine(const std::string& text) {
    try {
        RecipeParser::parse("test.sfx", text);
    } catch (const ParseError& e) {
        EXPECT_NE(std::string(e.what()).find("test.sfx:"), std::string::npos);
        return e.line();
    }
    return 0;
}

const char* kShot =
    "# a shot\n"
    "output sfx/shot(a).ogg\n"
    "length 0.5\n"
    "loudness -15\n"
    "reverb 0.2 0.4\n"
    "\n"
    "layer thump\n"
    "  wave sine\n"
    "  pitch 0:160 0.1:50   # falls\n"
    "  env attack=0.001 decay=0.3\n"
    "  filter lowpass 0:5000 0.2:300 q=0.9\n"
    "layer noise\n"
    "  wave pink\n"
    "  repeat count=3 every=0.05\n";

TEST(RecipeParserTest, ReadsGlobalsAndLayers) {
    const SoundRecipe r = RecipeParser::parse("test.sfx", kShot);
    EXPECT_EQ(r.output, "sfx/shot(a).ogg");
    EXPECT_DOUBLE_EQ(r.length, 0.5);
    EXPECT_FALSE(r.loops());
    EXPECT_DOUBLE_EQ(r.loudness, -15.0);
    EXPECT_DOUBLE_EQ(r.reverb.mix, 0.2);
    ASSERT_EQ(r.layers.size(), 2u);
    const LayerSettings& thump = r.layers[0];
    EXPECT_EQ(thump.name, "thump");
    EXPECT_DOUBLE_EQ(thump.pitch.at(0.0), 160.0);
    EXPECT_DOUBLE_EQ(thump.pitch.at(1.0), 50.0);
    EXPECT_NEAR(thump.pitch.at(0.05), std::sqrt(160.0 * 50.0), 1e-9);  // pitch glides geometrically
    ASSERT_EQ(thump.filters.size(), 1u);
    EXPECT_DOUBLE_EQ(thump.filters[0].q, 0.9);
    EXPECT_EQ(r.layers[1].source, LayerSettings::Source::Noise);
    EXPECT_EQ(r.layers[1].repeat.count, 3);
}

TEST(RecipeParserTest, DecayWithoutSustainFadesToSilence) {
    const SoundRecipe r = RecipeParser::parse("test.sfx", kShot);
    EXPECT_DOUBLE_EQ(r.layers[0].envelope.sustain, 0.0);
    EXPECT_DOUBLE_EQ(r.layers[1].envelope.sustain, 1.0);  // no decay: held
}

TEST(RecipeParserTest, ErrorsNameTheLineOfTheMistake) {
    EXPECT_EQ(errorLine("output a.ogg\nlayer\n  wave sine\n  wobble 3\n"), 4);
    EXPECT_EQ(errorLine("output a.ogg\nlength x1\nlayer\n"), 2);
    EXPECT_EQ(errorLine("output a.ogg\nlayer\n  wave kazoo\n"), 3);
    EXPECT_EQ(errorLine("output a.ogg\nlayer\n  pitch 0:100 0.5:200 0.2:300\n"), 3);
    EXPECT_EQ(errorLine("output a.ogg\nlayer\n  env attack=-1\n"), 3);
    EXPECT_EQ(errorLine("output a.ogg\nlayer\n  env speed=1\n"), 3);
    EXPECT_EQ(errorLine("output a.ogg\nlayer\n  wave sine\nlength 2\n"), 4);  // globals come first
    EXPECT_EQ(errorLine("output a.ogg\nlayer\n  repeat count=0\n"), 3);
}

TEST(RecipeParserTest, RefusesOutputsOutsideTheOutputFolder) {
    EXPECT_EQ(errorLine("output ../evil.ogg\n"), 1);
    EXPECT_EQ(errorLine("output /tmp/evil.ogg\n"), 1);
    EXPECT_EQ(errorLine("output sfx//a.ogg\n"), 1);
    EXPECT_EQ(errorLine("output sfx/a.wav\n"), 1);
}

TEST(RecipeParserTest, IncompleteRecipesAreRefused) {
    EXPECT_GT(errorLine("length 1\nlayer\n"), 0);                          // no output
    EXPECT_GT(errorLine("output a.ogg\n"), 0);                             // no layer
    EXPECT_GT(errorLine("output a.ogg\nlength 1\nloop 0.8\nlayer\n"), 0);  // crossfade too long
}

}  // namespace
