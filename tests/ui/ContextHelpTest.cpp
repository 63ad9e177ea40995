#include <gtest/gtest.h>

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
TEST(ContextHelpTest, OnlineHelpEndsTheProgramWithItsPageToOpenAndBackLeavesItRunning) {
    MenuTestEngine engine;
    engine.makeGlobal();
    // As the options menu opens it: made by its class name.
    const ClassInfo* record = ClassRegistry::instance().findByName(u"ContextHelp");
    ASSERT_TRUE(record && record->factory);
    auto* help = dynamic_cast<ContextHelp*>(static_cast<BasicLink*>(record->factory()));
    ASSERT_NE(help, nullptr);
    ScreenStack::push(help);
    EXPECT_EQ(help->pDocumentation->url, u"readme.htm");
    EXPECT_FLOAT_EQ(help->pDocumentation->position.y, 50.0f);
    EXPECT_EQ(help->pOnlineHelp->url, u"http://localhost:8079/tv2/onlinehelp.php");
    MenuItemBack* back = nullptr;
    for (BasicLink* c = help->firstChild; c; c = c->next)
        if (auto* b = dynamic_cast<MenuItemBack*>(static_cast<QorBase*>(c))) back = b;
    ASSERT_NE(back, nullptr);
    back->onClick();
    EXPECT_FALSE(global->pContextManager->bQuitRequested);

    help->pOnlineHelp->onClick();
    EXPECT_TRUE(global->pContextManager->bQuitRequested);
    EXPECT_EQ(global->pendingUrl, u"http://localhost:8079/tv2/onlinehelp.php");
}
}  // namespace
