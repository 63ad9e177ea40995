#include <gtest/gtest.h>

#include "support/MenuTestEngine.h"
#include "ui/TextLine.h"
#include "ui/TextSpan.h"

namespace {
TextSpan* span(TextLine& line, int i) {
    BasicLink* c = line.firstChild;
    while (c && i-- > 0) c = c->next;
    return static_cast<TextSpan*>(c);
}

class TextLineTest : public ::testing::Test {
protected:
    MenuTestEngine engine;
    FakeFont font;
};

TEST_F(TextLineTest, AColourMarkerSplitsTheLineIntoSpans) {
    TextLine line(&font, 1, u"Red \x1E{ff0000}alert");
    ASSERT_EQ(line.countChildren(), 2);
    EXPECT_EQ(span(line, 0)->text, u"Red ");
    EXPECT_EQ(span(line, 0)->colour, 1u);
    EXPECT_EQ(span(line, 1)->text, u"alert");
    EXPECT_EQ(span(line, 1)->colour, 0xFFFF0000u);
    EXPECT_EQ(line.endColour, 0xFFFF0000u);
    EXPECT_FLOAT_EQ(line.width, 90.0f);
}

TEST_F(TextLineTest, TokenOneRestoresTheDefaultColour) {
    TextLine line(&font, 0xFF00FF00u, u"a\x1E{000001}b");
    EXPECT_EQ(span(line, 0)->colour, 0xFF00FF00u);
    EXPECT_EQ(span(line, 1)->colour, 1u);
}

TEST_F(TextLineTest, OnlyMarkupGivesNoSpansAndAnEmptyLineOneEmptySpan) {
    TextLine markup(&font, 1, u"\x1E{123456}");
    EXPECT_EQ(markup.countChildren(), 0);
    EXPECT_EQ(markup.width, 0.0f);
    EXPECT_EQ(markup.endColour, 0xFF123456u);
    TextLine empty(&font, 1, u"");
    ASSERT_EQ(empty.countChildren(), 1);
    EXPECT_EQ(span(empty, 0)->text, u"");
}

TEST_F(TextLineTest, AnUnreadableTokenKeepsTheColourAndIsDropped) {
    TextLine line(&font, 0xFF0000FFu, u"a\x1Ezzzzzzzzb\x1E{xyz}   c");
    ASSERT_EQ(line.countChildren(), 3);
    EXPECT_EQ(span(line, 1)->text, u"b");
    EXPECT_EQ(span(line, 1)->colour, 0xFF0000FFu);
    EXPECT_EQ(span(line, 2)->text, u"c");
    EXPECT_EQ(line.endColour, 0xFF0000FFu);
}

TEST_F(TextLineTest, AShortTokenAtTheEndReadsWhatThereIs) {
    TextLine cut(&font, 1, u"a\x1E{ff");
    EXPECT_EQ(cut.countChildren(), 1);
    EXPECT_EQ(cut.endColour, 0xFF0000FFu);
    TextLine bare(&font, 0xFF112233u, u"a\x1E");
    EXPECT_EQ(bare.endColour, 0xFF112233u);
}

TEST_F(TextLineTest, HighBitsOfATokenGiveWayToFullAlpha) {
    UColor c = 0;
    ASSERT_TRUE(TextLine::readColourToken(u"{12345678}", c));
    EXPECT_EQ(c, 0xFF345678u);
    EXPECT_FALSE(TextLine::readColourToken(u"ff0000}", c));
}
}  // namespace
