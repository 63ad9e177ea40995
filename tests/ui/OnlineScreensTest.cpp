// The screens that talk to the web service, headless, against a small server on this
// machine: the score upload with its signed record, the network wizard with its framed
// reply and country list, and the crash report with its files.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <thread>

#include "engine/Md5.h"
#include "engine/MemoryIniFile.h"
#include "engine/Strings.h"
#include "engine/SystemHelpers.h"
#include "net/HttpRequest.h"
#include "net/NetConnection.h"
#include "support/ConnectionTestFrame.h"
#include "support/MenuTestEngine.h"
#include "support/TinyHttpServer.h"
#include "ui/ConnectionTestReply.h"
#include "ui/ContextCrashReport.h"
#include "ui/ContextNetworkWizard1.h"
#include "ui/ContextNetworkWizard2.h"
#include "ui/ContextUploadScores.h"
#include "ui/CountrySelector.h"
#include "ui/CountryTable.h"
#include "ui/MenuButton.h"
#include "ui/MenuItemCheckbox.h"
#include "ui/MessageViewer.h"
#include "ui/RecordBytes.h"
#include "ui/ScoreUploadData.h"

namespace {
class OnlineScreensTest : public ::testing::Test {
protected:
    OnlineScreensTest() { engine.makeGlobal(); }
    void useServer(const TinyHttpServer& server) {
        qor->settings().setString(u"QorNetwork", u"webServiceHost", server.host());
    }
    template <class Screen>
    Screen* open() {
        auto* screen = new Screen();
        global->pContextManager->addChild(screen);
        return screen;
    }
    // Ticks `screen` as its frames would until its request has ended and been handled.
    static void untilAnswered(ContextMenu* screen, const std::shared_ptr<HttpRequest>& request) {
        for (int i = 0; i < 3000 && request->getState() == HttpRequest::Running; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        screen->tickContents(0.0, 0.0);
    }
    static std::vector<std::u16string> last(const MessageViewer* viewer, std::size_t n) {
        return {viewer->entries.end() - static_cast<long>(n), viewer->entries.end()};
    }
    MenuTestEngine engine;
};

TEST_F(OnlineScreensTest, TheUploadRecordCopiesTheConfigurationAndIsSignedWithTheSalt) {
    GameConfiguration& c = global->configuration;
    c.insertScore(1, 77000, true, u"Ann");
    const ScoreUploadData a(c), b(c);
    EXPECT_EQ(a.bytes, b.bytes);
    RecordBytes record(GameConfiguration::kSize);
    c.toBytes(record);
    EXPECT_EQ(std::memcmp(a.bytes.data() + 16, record.data(), 48), 0);
    EXPECT_EQ(std::memcmp(a.bytes.data() + 96, record.data() + 80, 8), 0);
    EXPECT_EQ(std::memcmp(a.bytes.data() + 104, record.data() + 88, 14400), 0);
    EXPECT_STREQ(reinterpret_cast<const char*>(a.bytes.data() + 16), "Torvane2Xmas");
    auto unsigned_ = a.bytes;
    std::memset(unsigned_.data(), 0, 16);
    std::uint8_t digest[16];
    md5Keyed(digest, 0x3C9A71E4, unsigned_.data(), ScoreUploadData::kSize);
    EXPECT_EQ(std::memcmp(digest, a.bytes.data(), 16), 0);
    c.highScores[4][9].score += 1;
    EXPECT_NE(std::memcmp(ScoreUploadData(c).bytes.data(), digest, 16), 0);
}

TEST_F(OnlineScreensTest, TheUploadShowsTheReplyLineByLineThenFinishCloses) {
    TinyHttpServer server(TinyHttpServer::response(200, "Thanks, Ann.\r\n3 scores stored.\r\n"));
    useServer(server);
    auto* upload = open<ContextUploadScores>();
    upload->pNext->bTriggered = 1;
    upload->tickContents(0.0, 0.0);
    EXPECT_TRUE(upload->pNext->bDisabled);
    untilAnswered(upload, upload->pRequest);
    EXPECT_EQ(last(upload->pViewer, 5), (std::vector<std::u16string>{u"Starting...", u"Connected.", u"Thanks, Ann.",
                                                                     u"3 scores stored.", u"Done."}));
    EXPECT_EQ(upload->pNext->caption, u"Finish");
    EXPECT_FALSE(upload->pNext->bDisabled);
    const std::string sent = server.lastRequest();
    EXPECT_NE(sent.find("POST /tv2/highscoreupload.php"), std::string::npos);
    const std::string head =
        "name=\"HSTfile\"; filename=\"Torvane2Xmas.hst\"\r\nContent-Type: application/octet-stream\r\n\r\n";
    const std::size_t at = sent.find(head);
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(sent.find("\r\n---", at + head.size()), at + head.size() + ScoreUploadData::kSize);
    upload->pNext->bTriggered = 1;
    upload->tickContents(0.0, 0.0);
    EXPECT_TRUE(upload->bFinished);
}

TEST_F(OnlineScreensTest, TheConnectionTestsFrameIsCheckedBeforeItIsRead) {
    const std::string payload = "masterServer=10.0.0.5:27015\r\nmessage=Welcome back.\r\n";
    const std::string good = connectionTestFrame(payload);
    ConnectionTestReply reply;
    ASSERT_TRUE(
        reply.decode(reinterpret_cast<const std::uint8_t*>(good.data()), static_cast<std::uint32_t>(good.size())));
    ASSERT_TRUE(reply.masterServer);
    EXPECT_EQ(reply.masterServer->toString(), u"10.0.0.5:27015");
    EXPECT_EQ(reply.message, u"Welcome back.");
    for (const std::string& bad :
         {connectionTestFrame(payload, false), good.substr(0, good.size() - 1), good.substr(0, 20)}) {
        ConnectionTestReply r;
        EXPECT_FALSE(
            r.decode(reinterpret_cast<const std::uint8_t*>(bad.data()), static_cast<std::uint32_t>(bad.size())));
    }
    for (const char16_t* text : {u"master.example:27015", u"10.0.0.5", u"10.0.0.256:1", u"1.2.3:4"})
        EXPECT_FALSE(ConnectionTestReply::readAddress(text)) << std::string(text, text + 3);
}

TEST_F(OnlineScreensTest, TheWizardStoresTheMasterServerShowsTheMessageAndLeadsToTheCountry) {
    TinyHttpServer server(
        TinyHttpServer::response(200, connectionTestFrame("masterServer=10.0.0.5:27015\nmessage=Hello.\n")));
    useServer(server);
    global->configuration.bFullScreen = 1;
    auto* wizard = open<ContextNetworkWizard1>();
    EXPECT_FALSE(wizard->pRunOnDesktop->bDisabled);
    EXPECT_EQ(wizard->bRunOnDesktop, 1);  // the first run recommends a window
    wizard->pNext->bTriggered = 1;
    wizard->tickContents(0.0, 0.0);
    EXPECT_EQ(global->configuration.bFullScreen, 0);  // only switched to a window
    EXPECT_EQ(wizard->pRequest, nullptr);
    EXPECT_TRUE(wizard->pRunOnDesktop->bDisabled);
    // Another program holds the probe's port: the bind fails, the test goes on.
    const NetAddress probe(NetAddress::kAny, NetConnection::kFirewallTestPort);
    const int holder = ::socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_EQ(::bind(holder, probe.getSockAddr(), NetAddress::kSockAddrSize), 0);
    EXPECT_EQ(NetConnection::testFirewall(), u"EADDRINUSE");
    wizard->pNext->bTriggered = 1;
    wizard->tickContents(0.0, 0.0);
    ::close(holder);
    untilAnswered(wizard, wizard->pRequest);
    EXPECT_EQ(last(wizard->pViewer, 3),
              (std::vector<std::u16string>{u"Connection test was successful.", u"Hello.", u"Done."}));
    NetAddress stored;
    std::memcpy(stored.getSockAddr(), &global->configuration.masterServer, NetAddress::kSockAddrSize);
    EXPECT_EQ(stored.toString(), u"10.0.0.5:27015");
    EXPECT_NE(server.lastRequest().find("POST /tv2/nettest.php"), std::string::npos);
    wizard->pNext->bTriggered = 1;
    wizard->tickContents(0.0, 0.0);
    EXPECT_TRUE(wizard->bFinished);
    EXPECT_EQ(global->configuration.bFullScreen, 1);  // back as it was
    auto* country = dynamic_cast<ContextNetworkWizard2*>(global->pContextManager->top());
    ASSERT_NE(country, nullptr);
    country->pNext->bTriggered = 1;
    country->tickContents(0.0, 0.0);
    EXPECT_EQ(global->configuration.bNetworkWizardDone, 1);
}

TEST_F(OnlineScreensTest, ClosingTheFirstPageAlwaysAppliesTheSettingsWithTheFlagPutBack) {
    for (const bool switched : {false, true}) {
        global->configuration.bFullScreen = 1;
        global->configuration.maxFps = 50;
        auto* wizard = open<ContextNetworkWizard1>();
        if (switched) global->configuration.bFullScreen = 0;  // as the first Next does
        qor->timer.start(1.0);                                // a pace the settings do not have
        wizard->destroy();                                    // Cancel
        EXPECT_EQ(global->configuration.bFullScreen, 1);
        EXPECT_DOUBLE_EQ(qor->timer.period, 0.02) << switched;
    }
}

TEST_F(OnlineScreensTest, TypedLettersWalkTheCountriesOfThatLetterInCodeOrder) {
    auto* page = open<ContextNetworkWizard2>();
    EXPECT_EQ(CountrySelector::rowAt(0), 0);
    std::int32_t at = 0;
    std::u16string walked;
    for (int i = 0; i < 9; ++i) {
        at = CountrySelector::findNext(at, u'n');
        walked += std::u16string(CountryTable::kRow[CountrySelector::rowAt(at)].code) + u" ";
    }
    EXPECT_EQ(walked, u"NA NC NE NF NG NI NL NO NP ");
    for (int i = 0; i < 4; ++i) at = CountrySelector::findNext(at, u'n');                   // NR NU NZ NA
    EXPECT_EQ(CountryTable::kRow[CountrySelector::rowAt(at)].code, std::u16string(u"NA"));  // wrapped
    EXPECT_EQ(CountrySelector::findNext(at, u'N'), at);
    global->configuration.country = 5;
    engine.input().typedChar = u'n';
    engine.tickIn(*page, *page->pCountry, page->pCountry->position);  // the pointer on the item
    EXPECT_EQ(std::string(global->configuration.countryCode, 2), "NA");
    const float* p = global->configuration.countryPosition;
    EXPECT_NEAR(p[0] * p[0] + p[1] * p[1] + p[2] * p[2], 1.0f, 1e-5f);
    EXPECT_LT(p[1], 0.0f);  // Windhoek lies south of the equator
}

TEST_F(OnlineScreensTest, TheCrashReportSendsTheFilesThereAreByBaseNameAndDeletesThemAfter) {
    TinyHttpServer server(TinyHttpServer::response(200, "Report 17 stored."));
    useServer(server);
    global->configuration.bNetworkWizardDone = 1;
    std::ofstream(engine.home.file("crash.Torvane2Xmas.log")) << std::string(1234, 'L');
    std::ofstream(engine.home.file("crash.Torvane2Xmas.mdmp")) << std::string(1233, 'D');
    auto* report = open<ContextCrashReport>();
    report->onActivate(true);
    EXPECT_EQ(report->pNetworkWizard, nullptr);
    report->pNext->bTriggered = 1;
    report->tickContents(0.0, 0.0);
    untilAnswered(report, report->pRequest);
    EXPECT_EQ(last(report->pViewer, 5),
              (std::vector<std::u16string>{u"Uploading error data (2,467 bytes).", u"Please wait...", u"Connected.",
                                           u"Report 17 stored.", u"Done."}));
    const std::string sent = server.lastRequest();
    EXPECT_NE(sent.find("name=\"crashLog\"; filename=\"crash.Torvane2Xmas.log\"\r\n"), std::string::npos);
    EXPECT_NE(sent.find("name=\"crashMiniDump\"; filename=\"crash.Torvane2Xmas.mdmp\""), std::string::npos);
    EXPECT_EQ(sent.find("crashScreenshot"), std::string::npos);
    EXPECT_EQ(sent.find(engine.home.home.path), std::string::npos);  // no folder, no login name
    EXPECT_EQ(report->pNext->caption, u"Finish");
    report->pNext->bTriggered = 1;
    report->tickContents(0.0, 0.0);
    EXPECT_TRUE(report->bFinished);
    report->destroy();
    for (const char* name : {"crash.Torvane2Xmas.log", "crash.Torvane2Xmas.mdmp"})
        EXPECT_FALSE(fileExists(utf8ToWide(engine.home.file(name)))) << name;
}
}  // namespace
