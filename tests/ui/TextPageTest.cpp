#include <gtest/gtest.h>

#include <vector>

#include "engine/TypedLink.h"
#include "support/MenuTestEngine.h"
#include "ui/FadingText.h"
#include "ui/TextPage.h"

namespace {
class TextPageTest : public ::testing::Test {
protected:
    ~TextPageTest() override { page->destroy(); }
    std::vector<FadingText*> lines() const {
        std::vector<FadingText*> out;
        for (BasicLink* c = page->content->firstChild; c; c = c->next)
            if (!c->pendingDelete) out.push_back(dynamic_cast<FadingText*>(static_cast<QorBase*>(c)));
        return out;
    }
    // Ticks the page n frames of 50 ms (1.5 units of rise each).
    void ticks(int n) {
        for (int i = 0; i < n; ++i) page->tickContents(0.05 * i, 0.05);
    }

    MenuTestEngine engine;  // fake fonts: 24 units high, 10 units a character
    TextPage* page = new TextPage();
};

TEST_F(TextPageTest, LinesStackDownFromTheBottomEdgeInOneOrTwoColumns) {
    page->addTitle(u"Title");
    page->addParagraph(u"Left", u"Right");
    page->addParagraph(u"", u"");
    page->addParagraph(u"Alone", u"");
    const std::vector<FadingText*> l = lines();
    ASSERT_EQ(l.size(), 4u);
    const float step = 24.0f * 1.15f;
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(l[i]->position.y, -240.0f - step * static_cast<float>(i)) << i;
        EXPECT_EQ(l[i]->bShadow, 0);
        EXPECT_EQ(l[i]->color, 0xFFFFFFFFu);
    }
    EXPECT_FLOAT_EQ(page->cursor, -240.0f - 4.0f * step);
    EXPECT_EQ(l[0]->layoutFlags, 4);
    // Two columns: the first ends three spaces left of the centre.
    EXPECT_EQ(l[1]->text, u"Left      Right");
    EXPECT_FLOAT_EQ(l[1]->position.x, -70.0f);
    EXPECT_EQ(l[1]->layoutFlags, 2);
    EXPECT_EQ(l[2]->text, u"");
    EXPECT_EQ(l[3]->text, u"Alone");
    EXPECT_FLOAT_EQ(l[3]->position.x, 0.0f);
    EXPECT_EQ(l[3]->layoutFlags, 4);
    // Right to left, the right column comes first.
    qor->pLanguage->rightToLeft = 1;
    EXPECT_EQ(page->addLine(0.0f, 0xFFFFFFFFu, u"Left", u"Right")->text, u"Right      Left");
}

TEST_F(TextPageTest, ALineFadesInRisingFadesOutAtTheTopAndIsDeletedPastIt) {
    page->addLine(0.0f, 0xFF00FF00u, u"Green", u"");  // no red: half strength; the cursor stays
    page->addParagraph(u"Line", u"");
    TypedLink<FadingText> line;
    line = lines()[1];
    ticks(1);
    EXPECT_EQ(line->getAlpha(), 0);  // below bottom + 40
    EXPECT_EQ(line->bHidden, 1);
    ticks(66);  // 100.5 units up: full from bottom + 100 on
    EXPECT_FLOAT_EQ(line->position.y, -139.5f);
    EXPECT_EQ(line->getAlpha(), 255);
    EXPECT_EQ(line->bHidden, 0);
    EXPECT_EQ(lines()[0]->getAlpha(), 127);
    ticks(233);  // 30 units below the top edge: fading out over the last 50
    EXPECT_FLOAT_EQ(line->position.y, 210.0f);
    EXPECT_EQ(line->getAlpha(), 153);
    ticks(62);  // 63 units past the top: still there
    ASSERT_NE(line.get(), nullptr);
    EXPECT_EQ(line->bHidden, 1);
    ticks(2);
    EXPECT_EQ(line.get(), nullptr);
    EXPECT_TRUE(lines().empty());
}

}  // namespace
