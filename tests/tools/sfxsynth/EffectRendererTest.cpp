#include <gtest/gtest.h>

#include <cmath>

#include "EffectRenderer.h"
#include "Mastering.h"
#include "RecipeParser.h"

namespace {

const char* kBlast =
    "output a.ogg\nlength 0.4\nloudness -10\nseed 5\n"
    "layer\n  wave pink\n  env attack=0 decay=0.3\n  drive 3\n  gain 8\n"
    "layer\n  wave crackle\n  env attack=0.01 decay=0.2\n";

TEST(EffectRendererTest, RendersTheSameSamplesEveryTime) {
    const SoundRecipe r = RecipeParser::parse("t.sfx", kBlast);
    EXPECT_EQ(EffectRenderer::render(r), EffectRenderer::render(r));
}

TEST(EffectRendererTest, OneShotHasItsLengthStaysUnderTheCeilingAndEndsSilent) {
    const auto s = EffectRenderer::render(RecipeParser::parse("t.sfx", kBlast));
    EXPECT_EQ(s.size(), 17640u);
    EXPECT_LE(Mastering::peak(s), EffectRenderer::kCeiling + 1e-6);
    EXPECT_GT(Mastering::peak(s), 0.1);
    EXPECT_FLOAT_EQ(s.back(), 0.0f);
}

TEST(EffectRendererTest, LoopKeepsItsLengthAndASmoothSeam) {
    const SoundRecipe r = RecipeParser::parse("t.sfx",
                                              "output a.ogg\nlength 0.5\nloop 0.1\n"
                                              "layer\n  wave saw\n  pitch 97\n  filter lowpass 800\n");
    const auto s = EffectRenderer::render(r);
    ASSERT_EQ(s.size(), 22050u);
    double largest = 0.0;
    for (std::size_t i = 1; i < s.size(); ++i) largest = std::max(largest, double(std::fabs(s[i] - s[i - 1])));
    EXPECT_LE(std::fabs(s.back() - s.front()), largest);
}

TEST(EffectRendererTest, LoudnessFollowsTheRecipe) {
    const auto quiet = EffectRenderer::render(
        RecipeParser::parse("t.sfx", "output a.ogg\nlength 1\nloudness -30\nlayer\n  wave sine\n  pitch 1000\n"));
    EXPECT_NEAR(Mastering::loudestWindowDb(quiet, 1, EffectRenderer::kSampleRate, 0.3), -30.0, 0.3);
}

}  // namespace
