#include <gtest/gtest.h>

#include "support/MenuTestEngine.h"
#include "ui/ContextManager.h"
#include "ui/Global.h"
#include "ui/MenuItemLink.h"

namespace {
TEST(MenuItemLinkTest, AClickStoresThePageAndEndsTheProgram) {
    MenuTestEngine engine;
    engine.makeGlobal();
    MenuItemLink link(0, 0, 0, u"Website", u"");
    link.url = u"http://localhost:8079/";
    link.onClick();
    EXPECT_TRUE(link.bTriggered);
    EXPECT_EQ(global->pendingUrl, u"http://localhost:8079/");
    EXPECT_TRUE(global->pContextManager->bQuitRequested);
}

TEST(MenuItemLinkTest, AnEmptyAddressStillEndsTheProgramAndOpensNothing) {
    MenuTestEngine engine;
    engine.makeGlobal();
    global->pendingUrl = u"stale";
    MenuItemLink link(0, 0, 0, u"Website", u"");
    link.onClick();
    EXPECT_EQ(global->pendingUrl, u"");
    EXPECT_TRUE(global->pContextManager->bQuitRequested);
}
}  // namespace
