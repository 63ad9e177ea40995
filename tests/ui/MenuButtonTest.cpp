#include <gtest/gtest.h>

#include "support/MenuTestEngine.h"
#include "ui/ContextManager.h"
#include "ui/ContextPopup.h"
#include "ui/MenuButton.h"
#include "ui/MenuItemBack.h"

namespace {
class MenuButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine.makeGlobal();
        menu = new ContextMenu();
        global->pContextManager->addChild(menu);
    }
    MenuButton* button(float y) {
        auto* b = new MenuButton(0, y, 0, u"Go", u"");
        menu->addItem(b);
        return b;
    }
    MenuTestEngine engine;
    ContextMenu* menu = nullptr;
};

TEST_F(MenuButtonTest, PressAndReleaseOnTheButtonClickIt) {
    MenuButton* b = button(0);
    engine.click([&] { engine.tickIn(*menu, *b, {0, 0, 0}); });
    EXPECT_TRUE(b->bTriggered);
}

TEST_F(MenuButtonTest, APressOnAnotherButtonIsNotThisOnesClick) {
    MenuButton* first = button(0);
    MenuButton* second = button(-100);
    engine.click([&] {
        engine.tickIn(*menu, *first, {0, 0, 0});
        engine.tickIn(*menu, *second, {0, 0, 0});
    });
    EXPECT_TRUE(first->bTriggered);
    EXPECT_FALSE(second->bTriggered);
}

TEST_F(MenuButtonTest, ADisabledButtonIgnoresClicks) {
    MenuButton* b = button(0);
    b->bDisabled = 1;
    engine.click([&] { engine.tickIn(*menu, *b, {0, 0, 0}); });
    EXPECT_FALSE(b->bTriggered);
}

TEST_F(MenuButtonTest, AQuestionComesFirstAndYesActsOneTickAfter) {
    MenuButton* b = button(0);
    b->questionText = u"Really?";
    engine.click([&] { engine.tickIn(*menu, *b, {0, 0, 0}); });
    EXPECT_FALSE(b->bTriggered);
    auto* popup = dynamic_cast<ContextPopup*>(static_cast<QorBase*>(global->pContextManager->lastChild));
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->firstButtonLabel, u"Yes");
    EXPECT_EQ(popup->secondButtonLabel, u"No");
    EXPECT_EQ(b->answer, -1);
    b->answer = 0;  // what the popup writes for Yes
    engine.step();
    engine.tickIn(*menu, *b, {300, 300, 0});
    EXPECT_TRUE(b->bTriggered);
    EXPECT_EQ(b->answer, -1);
}

TEST_F(MenuButtonTest, BackClosesTheTopScreen) {
    auto* back = new MenuItemBack(0, 0, 0, u"Back", u"");
    menu->addItem(back);
    back->onClick();
    EXPECT_TRUE(back->bTriggered);
    EXPECT_TRUE(menu->bFinished);
}
}  // namespace
