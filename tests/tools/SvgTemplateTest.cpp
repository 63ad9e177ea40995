#include <gtest/gtest.h>

#include <stdexcept>

#include "SvgTemplate.h"

namespace {

using artbake::Palette;
using artbake::SvgTemplate;
using artbake::Variables;

std::string expand(const char* text, const Variables& vars = {}, const Palette& palette = {}) {
    return SvgTemplate::expand(text, vars, palette);
}

TEST(SvgTemplateTest, NumbersAreShortAndNeverNegativeZero) {
    EXPECT_EQ(SvgTemplate::formatNumber(1.0), "1");
    EXPECT_EQ(SvgTemplate::formatNumber(-0.0001), "0");
    EXPECT_EQ(SvgTemplate::formatNumber(2.5), "2.5");
    EXPECT_EQ(SvgTemplate::formatNumber(1.0 / 3.0), "0.333");
    EXPECT_EQ(expand("<g transform=\"rotate({{a}})\"/>", {{"a", -45}}), "<g transform=\"rotate(-45)\"/>");
}

TEST(SvgTemplateTest, LoopsRepeatTheirBodyAndNest) {
    EXPECT_EQ(expand("{{for k 0 3}}[{{k}}]{{end}}"), "[0][1][2]");
    EXPECT_EQ(expand("{{for a 0 2}}{{for b 0 2}}{{a*10+b}} {{end}}{{end}}"), "0 1 10 11 ");
    EXPECT_EQ(expand("x{{for k 2 2}}never{{end}}y"), "xy");
    EXPECT_EQ(expand("{{for k 0 n}}.{{end}}", {{"n", 4}}), "....");
}

TEST(SvgTemplateTest, PaletteAndChoicesGiveText) {
    Palette palette{{"red", "#e23b3b"}, {"gold", "#ffc93c"}};
    EXPECT_EQ(expand("fill=\"{{@red}}\"", {}, palette), "fill=\"#e23b3b\"");
    EXPECT_EQ(expand("{{choose i @red @gold none}}", {{"i", 1}}, palette), "#ffc93c");
    EXPECT_EQ(expand("{{choose i @red @gold none}}", {{"i", 2}}, palette), "none");
    // Out-of-range picks stay on the list instead of reading past it.
    EXPECT_EQ(expand("{{choose i a b}}", {{"i", 9}}), "b");
    EXPECT_EQ(expand("{{choose i a b}}", {{"i", -3}}), "a");
}

TEST(SvgTemplateTest, BrokenTemplatesAreErrors) {
    EXPECT_THROW(expand("{{for k 0 2}}open"), std::runtime_error);
    EXPECT_THROW(expand("{{end}}"), std::runtime_error);
    EXPECT_THROW(expand("{{1 +"), std::runtime_error);
    EXPECT_THROW(expand("{{@nosuch}}"), std::runtime_error);
    EXPECT_THROW(expand("{{choose 1}}"), std::runtime_error);
    EXPECT_THROW(expand("{{undefined}}"), std::runtime_error);
}

}  // namespace
