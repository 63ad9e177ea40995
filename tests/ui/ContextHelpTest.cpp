#include <gtest/gtest.h>

#include <string>

#include "engine/BasicLink.h"
#include "engine/ClassInfo.h"
#include "engine/ClassRegistry.h"
#include "support/MenuTestEngine.h"
#include "ui/ContextCredits.h"
#include "ui/ContextHelp.h"
#include "ui/ContextManager.h"
#include "ui/FadingText.h"
#include "ui/Global.h"
#include "ui/MenuItemBack.h"
#include "ui/MenuItemLink.h"
#include "ui/ScreenStack.h"
#include "ui/TextPage.h"

namespace {
class HelpAndCreditsPagesTest : public ::testing::Test {
protected:
    void SetUp() override { engine.makeGlobal(); }
    // A screen as the options menu opens it: made by its class name and pushed.
    template <class T>
    T* openByName(const char16_t* name) {
        const ClassInfo* record = ClassRegistry::instance().findByName(name);
        if (!record || !record->factory) return nullptr;
        auto* screen = dynamic_cast<T*>(static_cast<BasicLink*>(record->factory()));
        if (screen) ScreenStack::push(screen);
        return screen;
    }
    template <class T>
    static T* child(QorBase* parent) {
        for (BasicLink* c = parent->firstChild; c; c = c->next)
            if (auto* t = dynamic_cast<T*>(static_cast<QorBase*>(c))) return t;
        return nullptr;
    }
    MenuTestEngine engine;
};

TEST_F(HelpAndCreditsPagesTest, TheLinksNameTheDocumentationAndTheOnlineHelpPage) {
    auto* help = openByName<ContextHelp>(u"ContextHelp");
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->pDocumentation->caption, u"Documentation");
    EXPECT_EQ(help->pDocumentation->url, u"readme.htm");
    EXPECT_FLOAT_EQ(help->pDocumentation->position.y, 50.0f);
    EXPECT_EQ(help->pOnlineHelp->url, u"http://localhost:8079/tv2/onlinehelp.php");
    EXPECT_FLOAT_EQ(help->pOnlineHelp->position.y, 0.0f);
    EXPECT_TRUE(help->bDeleteOnClose);
    EXPECT_NE(child<MenuItemBack>(help), nullptr);
}

TEST_F(HelpAndCreditsPagesTest, OnlineHelpEndsTheProgramWithThePageToOpenAndBackDoesNot) {
    auto* help = openByName<ContextHelp>(u"ContextHelp");
    ASSERT_NE(help, nullptr);
    child<MenuItemBack>(help)->onClick();
    help->tickContents(0.0, 0.0);
    EXPECT_FALSE(global->pContextManager->bQuitRequested);
    EXPECT_EQ(global->pendingUrl, u"");

    help = openByName<ContextHelp>(u"ContextHelp");
    help->pOnlineHelp->onClick();
    EXPECT_TRUE(global->pContextManager->bQuitRequested);
    EXPECT_EQ(global->pendingUrl, u"http://localhost:8079/tv2/onlinehelp.php");
}

TEST_F(HelpAndCreditsPagesTest, TheCreditsPageScrollsTheCreditsAndClosesAfterAMinute) {
    auto* credits = openByName<ContextCredits>(u"ContextCredits");
    ASSERT_NE(credits, nullptr);
    EXPECT_DOUBLE_EQ(credits->duration, 60.0);
    EXPECT_TRUE(credits->bCloseOnFireKey);
    EXPECT_TRUE(credits->bDeleteOnClose);
    ASSERT_NE(credits->pTextPage, nullptr);
    EXPECT_EQ(credits->pTextPage->parent, credits);
    EXPECT_NE(credits->pTextPage->content->firstChild, nullptr);
    auto* version = child<FadingText>(credits);
    ASSERT_NE(version, nullptr);
    EXPECT_FLOAT_EQ(version->position.x, 396.0f);
    EXPECT_FLOAT_EQ(version->position.y, -238.0f);
    EXPECT_EQ(version->layoutFlags, 0x28);
    EXPECT_EQ(ClassRegistry::instance().findByName(u"TextPage"), &TextPage::classInfo);
}
}  // namespace
