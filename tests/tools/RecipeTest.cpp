#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "Recipe.h"

namespace {

using artbake::Recipe;

// Writes a recipe into a fresh temporary file and loads it.
Recipe loadText(const std::string& text) {
    std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("torvane-recipe-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
         ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".recipe");
    {
        std::ofstream out(path);
        out << text;
    }
    try {
        Recipe recipe = Recipe::load(path.string());
        std::filesystem::remove(path);
        return recipe;
    } catch (...) {
        std::filesystem::remove(path);
        throw;
    }
}

TEST(RecipeTest, GroupsKeepTheirOrderOptionsAndVariables) {
    Recipe recipe = loadText(
        "texture  gfx/cannon.tga   # the path keeps its case\n"
        "name     cannon\n"
        "meaning  A cannon # with a hash kept in the text\n"
        "width    128\n"
        "svg      cannon.svg\n"
        "set      bank=3\n"
        "group    count=1 cell=64x48 trim=1 layer=barrel ox=2\n"
        "group    count=2 cell=32x16 svg=other.svg gap=0 newrow=1 a=90-3.75*i\n");
    EXPECT_EQ(recipe.path, "gfx/cannon.tga");
    EXPECT_EQ(recipe.archive, "Torvane2Xmas.dat");
    EXPECT_EQ(recipe.meaning, "A cannon # with a hash kept in the text");
    EXPECT_EQ(recipe.width, 128);
    ASSERT_EQ(recipe.groups.size(), 2u);
    EXPECT_EQ(recipe.groups[0].svg, "cannon.svg");
    EXPECT_TRUE(recipe.groups[0].trim);
    EXPECT_EQ(recipe.groups[0].layer, "barrel");
    EXPECT_EQ(recipe.groups[0].originX, "2");
    EXPECT_EQ(recipe.groups[1].svg, "other.svg");
    EXPECT_EQ(recipe.groups[1].gap, 0);
    EXPECT_TRUE(recipe.groups[1].newRow);
    ASSERT_EQ(recipe.groups[1].vars.size(), 1u);
    EXPECT_EQ(recipe.groups[1].vars[0].second, "90-3.75*i");
    EXPECT_EQ(recipe.skinCount(), 3);
}

TEST(RecipeTest, IncompleteOrMistypedRecipesAreRefused) {
    EXPECT_THROW(loadText("name x\nsvg a.svg\ngroup count=1 cell=8x8\n"), std::runtime_error);      // no texture
    EXPECT_THROW(loadText("texture a.tga\nname x\n"), std::runtime_error);                          // no group
    EXPECT_THROW(loadText("texture a.tga\nname x\ngroup count=1 cell=8x8\n"), std::runtime_error);  // no drawing
    EXPECT_THROW(loadText("texture a.tga\nname x\nsvg a.svg\ngroup count=0 cell=8x8\n"), std::runtime_error);
    EXPECT_THROW(loadText("texture a.tga\nname x\nsvg a.svg\ngroup count=1 cell=8by8\n"), std::runtime_error);
    EXPECT_THROW(loadText("texture a.tga\nname x\nsvg a.svg\nwidth wide\ngroup count=1 cell=8x8\n"),
                 std::runtime_error);
    EXPECT_THROW(loadText("texture a.tga\nname x\ncolour red\n"), std::runtime_error);
}

}  // namespace
