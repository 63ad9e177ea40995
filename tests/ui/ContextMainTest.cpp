#include <gtest/gtest.h>

#include "support/MenuTestEngine.h"
#include "ui/ContextGameMode.h"
#include "ui/ContextHighScores.h"
#include "ui/ContextMain.h"
#include "ui/ContextMainGame.h"
#include "ui/ContextManager.h"
#include "ui/ContextOptions.h"
#include "ui/MenuButton.h"
#include "ui/MenuItemBack.h"
#include "ui/MenuItemLink.h"

namespace {
class ContextMainTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine.makeGlobal();
        menu = new ContextMainGame();
        global->pContextManager->addChild(menu);
    }
    QorBase* top() { return static_cast<QorBase*>(global->pContextManager->lastChild); }
    template <class T>
    T* find() {
        for (BasicLink* c = menu->firstChild; c; c = c->next)
            if (auto* t = dynamic_cast<T*>(static_cast<QorBase*>(c))) return t;
        return nullptr;
    }
    MenuTestEngine engine;
    ContextMainGame* menu = nullptr;
};

TEST_F(ContextMainTest, ButtonsStandInAColumnWithLinkAndQuitInTheCorners) {
    EXPECT_FLOAT_EQ(menu->startGameItem->position.y, -50.0f);
    EXPECT_FLOAT_EQ(menu->creditsItem->position.y, -200.0f);
    EXPECT_EQ(menu->startGameItem->caption, u"Start Game");
    auto* link = find<MenuItemLink>();
    ASSERT_NE(link, nullptr);
    EXPECT_FLOAT_EQ(link->position.x, 305.0f);
    EXPECT_FLOAT_EQ(link->position.y, -200.0f);
    EXPECT_EQ(link->url, u"http://localhost:8079/");
    EXPECT_TRUE(menu->bConfirmClose);
    EXPECT_EQ(menu->navigationList->countChildren(), 7);  // the greeting, six buttons
}

TEST_F(ContextMainTest, RightToLeftSwapsTheCorners) {
    qor->pLanguage->rightToLeft = 1;
    ContextMainGame mirrored;
    for (BasicLink* c = mirrored.firstChild; c; c = c->next)
        if (auto* link = dynamic_cast<MenuItemLink*>(static_cast<QorBase*>(c))) {
            EXPECT_FLOAT_EQ(link->position.x, -305.0f);
        }
}

TEST_F(ContextMainTest, EachButtonOpensItsScreen) {
    menu->startGameItem->bTriggered = 1;
    menu->tickContents(0.0, 0.0);
    EXPECT_NE(dynamic_cast<ContextGameMode*>(top()), nullptr);
    EXPECT_FALSE(menu->startGameItem->bTriggered);
    menu->optionsItem->bTriggered = 1;
    menu->tickContents(0.0, 0.0);
    EXPECT_NE(dynamic_cast<ContextOptions*>(top()), nullptr);
    menu->highScoresItem->bTriggered = 1;
    menu->tickContents(0.0, 0.0);
    auto* scores = dynamic_cast<ContextHighScores*>(top());
    ASSERT_NE(scores, nullptr);
    EXPECT_NE(scores->pTableSelector, nullptr);  // all five tables, starting on the first
    EXPECT_EQ(scores->table, 0);
    menu->creditsItem->bTriggered = 1;
    menu->tickContents(0.0, 0.0);
    auto* credits = dynamic_cast<ContextMenu*>(top());
    ASSERT_NE(credits, nullptr);
    EXPECT_DOUBLE_EQ(credits->duration, 60.0);
    EXPECT_TRUE(credits->bCloseOnFireKey);
}

TEST_F(ContextMainTest, QuitClosesTheMenuWithoutAQuestion) {
    auto* quit = find<MenuItemBack>();
    ASSERT_NE(quit, nullptr);
    EXPECT_TRUE(quit->caption.ends_with(u"  Quit"));
    quit->onClick();
    EXPECT_TRUE(menu->bFinished);
    EXPECT_EQ(global->pContextManager->countChildren(), 1);
}

TEST_F(ContextMainTest, ControlAltXStopsTheProgramOnPurpose) {
    engine.input().keyState[45] = 0x80;
    engine.input().modifierState = QorInput::kCtrlAlt;
    EXPECT_DEATH(menu->tickContents(0.0, 0.0), "Crash requested.");
}
}  // namespace

#include "MenuPictureFixture.h"
#include "inputaudio/QorInput.h"

namespace {
class ContextMainPicture : public MenuPictureFixture {
protected:
    void show(const std::string& name) {
        useTouchScreen();  // the pictures show the invitation to tap
        auto* menu = new ContextMainGame();
        menu->clearColor = 0xFF406080u;
        qor->pQorInput->setMousePos(0.0f, 0.0f, 0.0f);  // in a corner, over nothing
        holder->addChild(menu);
        expectPicture(menu, name);
    }
};

TEST_F(ContextMainPicture, English) { show("title-menu-english"); }

TEST_F(ContextMainPicture, German) {
    qor->pLanguage->setLanguage(1);
    show("title-menu-german");
}

TEST_F(ContextMainPicture, RightToLeftSwapsTheCornerItems) {
    qor->pLanguage->rightToLeft = 1;
    show("title-menu-right-to-left");
}
}  // namespace
