#include <gtest/gtest.h>

#include "engine/MemoryIniFile.h"
#include "support/MenuTestEngine.h"
#include "ui/WebAddress.h"

namespace {
TEST(WebAddressTest, TheHostIsWrittenWithItsDefaultWhenMissing) {
    MenuTestEngine engine;
    EXPECT_EQ(WebAddress::getPageAddress(u"/tv2/onlinehelp.php"), u"http://localhost:8079/tv2/onlinehelp.php");
    EXPECT_EQ(qor->pSettings->getString(u"QorNetwork", u"webServiceHost"), u"localhost:8079");
}

TEST(WebAddressTest, TheSettingNamesHostAndPort) {
    MenuTestEngine engine;
    qor->pSettings->setString(u"QorNetwork", u"webServiceHost", u"scores.example.org:8080");
    EXPECT_EQ(WebAddress::getPageAddress(u"/"), u"http://scores.example.org:8080/");
    qor->pSettings->setString(u"QorNetwork", u"webServiceHost", u"evil.org/x?y= z");
    EXPECT_EQ(WebAddress::getHost(), u"localhost:8079");
}
}  // namespace
