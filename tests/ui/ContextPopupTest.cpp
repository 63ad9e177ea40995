#include <gtest/gtest.h>

#include "engine/ChildIterator.h"
#include "support/MenuTestEngine.h"
#include "ui/ContextPopup.h"
#include "ui/FadingText.h"
#include "ui/FramePanel.h"
#include "ui/MenuButton.h"

namespace {
class ContextPopupTest : public ::testing::Test {
protected:
    ContextPopup* popup(const std::u16string& text, const std::u16string& second) {
        auto* p = new ContextPopup();
        p->text = text;
        p->secondButtonLabel = second;
        p->result = &answer;
        p->setup();
        holder.addChild(p);
        return p;
    }
    FramePanel* panel(ContextPopup* p) {
        for (ChildIterator it(p); !it.done; it.next())
            if (auto* f = dynamic_cast<FramePanel*>(static_cast<QorBase*>(it.current))) return f;
        return nullptr;
    }
    MenuTestEngine engine;
    QorBase holder;
    std::int32_t answer = 7;
};

TEST_F(ContextPopupTest, OneButtonOKClosesOnTheFireKeyWithNoAnswer) {
    ContextPopup* p = popup(u"Saved.", u"");
    EXPECT_EQ(answer, -1);
    ASSERT_NE(p->firstButton, nullptr);
    EXPECT_EQ(p->firstButton->caption, u"OK");
    EXPECT_FLOAT_EQ(p->firstButton->position.x, 0.0f);
    EXPECT_FLOAT_EQ(p->firstButton->getFrameWidth(), 160.0f);
    EXPECT_EQ(p->secondButton, nullptr);
    EXPECT_TRUE(p->bCloseOnFireKey);
    EXPECT_TRUE(p->bDeleteOnClose);
    EXPECT_TRUE(p->bCloseOnEscape);
}

TEST_F(ContextPopupTest, TwoButtonsAnswerZeroAndOne) {
    ContextPopup* p = popup(u"Are you sure?", u"No");
    EXPECT_FALSE(p->bCloseOnFireKey);
    EXPECT_FLOAT_EQ(p->firstButton->position.x, -85.0f);
    EXPECT_FLOAT_EQ(p->secondButton->position.x, 85.0f);
    p->secondButton->bTriggered = 1;
    p->tickContents(0.0, 0.0);
    EXPECT_EQ(answer, 1);
    EXPECT_TRUE(p->bFinished);
    EXPECT_FALSE(p->secondButton->bTriggered);
    p->bFinished = 0;
    p->firstButton->bTriggered = 1;
    p->tickContents(0.0, 0.0);
    EXPECT_EQ(answer, 0);
}

TEST_F(ContextPopupTest, AShortTextStillGetsAPanelAtLeastAsWideAsTall) {
    auto* p = new ContextPopup();
    p->text = u"Hi";
    p->firstButtonLabel.clear();
    p->setup();
    holder.addChild(p);
    FramePanel* f = panel(p);
    ASSERT_NE(f, nullptr);
    EXPECT_FLOAT_EQ(f->pSkin->width, 292.0f);
    EXPECT_FLOAT_EQ(f->pSkin->height, 124.0f);  // one 30-unit step: 24 + 100
    EXPECT_EQ(p->firstButton, nullptr);
}

TEST_F(ContextPopupTest, LinesAreCentredAndMarkupColoursTheSpans) {
    ContextPopup* p = popup(u"ab \x1E{00ff00}cd|e", u"");
    std::vector<FadingText*> labels;
    for (ChildIterator it(p); !it.done; it.next())
        if (auto* t = dynamic_cast<FadingText*>(static_cast<QorBase*>(it.current))) labels.push_back(t);
    ASSERT_EQ(labels.size(), 3u);
    EXPECT_FLOAT_EQ(labels[0]->position.x, -25.0f);  // "ab cd" is 50 wide
    EXPECT_EQ(labels[0]->color, 0xFFFFFFFFu);
    EXPECT_FLOAT_EQ(labels[1]->position.x, 5.0f);
    EXPECT_EQ(labels[1]->color, 0xFF00FF00u);
    EXPECT_FLOAT_EQ(labels[2]->position.y, labels[0]->position.y - 30.0f);  // 24 x 1.25
    EXPECT_EQ(labels[2]->layoutFlags, 3);
}
}  // namespace

#include "MenuPictureFixture.h"

namespace {
class ContextPopupPicture : public MenuPictureFixture {};

TEST_F(ContextPopupPicture, TitleColouredLinesAndTwoButtonsOverTheScreenBelow) {
    auto* below = new ContextMenu();
    below->clearColor = 0xFF406080u;
    holder->addChild(below);
    auto* popup = new ContextPopup();
    popup->title = u"Question";
    popup->text = u"Leave the game now? \x1E{ffd000}Unsaved progress|\x1E{000001}will be lost.";
    popup->firstButtonLabel = u"Yes";
    popup->secondButtonLabel = u"No";
    popup->setup();
    holder->addChild(popup);
    expectPicture(popup, "popup-question");
}

TEST_F(ContextPopupPicture, RightToLeftPutsTheFirstButtonOnTheRight) {
    qor->pLanguage->rightToLeft = 1;
    auto* popup = new ContextPopup();
    popup->clearColor = 0xFF406080u;
    popup->text = u"First words then the last ones of a long line that wraps";
    popup->firstButtonLabel = u"Yes";
    popup->secondButtonLabel = u"No";
    popup->setup();
    holder->addChild(popup);
    expectPicture(popup, "popup-right-to-left");
}
}  // namespace
