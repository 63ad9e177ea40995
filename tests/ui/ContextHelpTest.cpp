#include <gtest/gtest.h>

#include <string>

#include "engine/BasicLink.h"
#include "engine/ClassInfo.h"
#include "engine/ClassRegistry.h"
#include "support/MenuTestEngine.h"
#include "ui/ContextHelp.h"
#include "ui/ContextManager.h"
#include "ui/Global.h"
#include "ui/MenuItemBack.h"
#include "ui/MenuItemLink.h"
#include "ui/ScreenStack.h"

namespace {
class ContextHelpTest : public ::testing::Test {
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

TEST_F(ContextHelpTest, TheLinksNameTheDocumentationAndTheOnlineHelpPage) {
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

TEST_F(ContextHelpTest, OnlineHelpEndsTheProgramWithThePageToOpenAndBackDoesNot) {
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

}  // namespace
