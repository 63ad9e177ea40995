#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/ChildIterator.h"
#include "support/MenuTestEngine.h"
#include "ui/TextBlock.h"
#include "ui/TextLine.h"
#include "ui/TextSpan.h"

namespace {
// Each line's text, spans joined.
std::vector<std::u16string> lines(TextBlock& block) {
    std::vector<std::u16string> out;
    for (ChildIterator l(&block); !l.done; l.next()) {
        std::u16string text;
        for (ChildIterator s(l.current); !s.done; s.next()) text += static_cast<TextSpan*>(s.current)->text;
        out.push_back(text);
    }
    return out;
}

using Lines = std::vector<std::u16string>;

class TextBlockTest : public ::testing::Test {
protected:
    MenuTestEngine engine;
    FakeFont font{24};  // 10 units a character
};

TEST_F(TextBlockTest, BarsForceBreaksWhateverTheWidth) {
    TextBlock wide(&font, 1000.0f, -1.0f, u"One|Two", 0);
    EXPECT_EQ(lines(wide), (Lines{u"One", u"Two"}));
    TextBlock narrow(&font, 5.0f, -1.0f, u"One|Two", 0);
    EXPECT_EQ(lines(narrow), (Lines{u"One", u"Two"}));
}

TEST_F(TextBlockTest, WrapsAtTheLastSpaceThatFitsAndDropsIt) {
    TextBlock block(&font, 75.0f, -1.0f, u"aaa bbb ccc dd", 0);  // "aaa bbb" is 70 wide
    EXPECT_EQ(lines(block), (Lines{u"aaa bbb", u"ccc dd"}));
    EXPECT_FLOAT_EQ(block.width, 70.0f);
}

TEST_F(TextBlockTest, ABarAfterTheNextSpaceWaitsUntilItIsTheNearestMark) {
    TextBlock block(&font, 1000.0f, -1.0f, u"a b|c", 0);
    EXPECT_EQ(lines(block), (Lines{u"a b", u"c"}));
}

TEST_F(TextBlockTest, AWordWiderThanTheLineStandsAloneNeverAnEmptyLine) {
    TextBlock block(&font, 30.0f, -1.0f, u"extraordinary is ok", 0);
    EXPECT_EQ(lines(block), (Lines{u"extraordinary", u"is", u"ok"}));
}

TEST_F(TextBlockTest, HeightIsTheStepsBetweenLinesPlusOneFontLine) {
    TextBlock two(&font, 1000.0f, 30.0f, u"a|b", 0);
    EXPECT_FLOAT_EQ(two.height, 54.0f);
    FakeFont small(16);
    TextBlock three(&small, 1000.0f, 20.0f, u"a|b|c", 0);
    EXPECT_FLOAT_EQ(three.height, 56.0f);
    TextBlock own(&font, 1000.0f, -1.0f, u"a|b", 0);
    EXPECT_FLOAT_EQ(own.lineHeight, 24.0f);
}

TEST_F(TextBlockTest, EmptyTextIsOneLineWithOneEmptySpanAndNoHeight) {
    TextBlock block(&font, 100.0f, 30.0f, u"", 0);
    ASSERT_EQ(block.countChildren(), 1);
    EXPECT_EQ(block.firstChild->countChildren(), 1);
    EXPECT_EQ(block.height, 0.0f);
    EXPECT_EQ(block.width, 0.0f);
}

TEST_F(TextBlockTest, ColourCarriesIntoTheNextLine) {
    TextBlock block(&font, 1000.0f, -1.0f, u"Red \x1E{ff0000}alert|next", 0);
    ASSERT_EQ(block.countChildren(), 2);
    auto* second = static_cast<TextLine*>(block.lastChild);
    EXPECT_EQ(static_cast<TextSpan*>(second->firstChild)->colour, 0xFFFF0000u);
}

TEST_F(TextBlockTest, MarkupTakesNoRoomWhenWrapping) {
    // 6 letters + a space + 2 letters = 90 units; the markup would add 90 more if measured.
    TextBlock block(&font, 95.0f, -1.0f, u"\x1E{00ff00}abcdef gh", 0);
    EXPECT_EQ(lines(block), (Lines{u"abcdef gh"}));
}

TEST_F(TextBlockTest, RightToLeftBreaksFromTheEndSoTheFirstLineHoldsTheEnd) {
    TextBlock block(&font, 75.0f, -1.0f, u"aaa bbb ccc dd", 1);
    EXPECT_EQ(lines(block), (Lines{u"ccc dd", u"aaa bbb"}));
    TextBlock bars(&font, 1000.0f, -1.0f, u"One|Two", 1);
    EXPECT_EQ(lines(bars), (Lines{u"Two", u"One"}));
}

TEST_F(TextBlockTest, RightToLeftFollowsTheLanguage) {
    qor->pLanguage->rightToLeft = 1;
    TextBlock block(&font, 1000.0f, -1.0f, u"One|Two");
    EXPECT_EQ(lines(block), (Lines{u"Two", u"One"}));
}

TEST_F(TextBlockTest, WithoutAFontEverythingFitsOnLinesOfWidthZero) {
    TextBlock block(nullptr, 10.0f, 20.0f, u"a b|c", 0);
    EXPECT_EQ(lines(block), (Lines{u"a b", u"c"}));
    EXPECT_EQ(block.width, 0.0f);
}
}  // namespace
