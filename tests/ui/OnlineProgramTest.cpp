// The online screens inside the running program, against the real web service started
// on a free port, driven by clicks: the network wizard's connection test and country,
// the upload of the high scores (whose entries then stand on the service's table page),
// and the crash report offered at the start after a crash, which is sent once and then
// gone. With the service stopped, each screen shows its failure and nothing local
// changes.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <thread>

#include "engine/Strings.h"
#include "engine/SystemHelpers.h"
#include "net/HttpRequest.h"
#include "net/NetAddress.h"
#include "support/FrameStep.h"
#include "support/ServiceProcess.h"
#include "support/TempFolder.h"
#include "ui/ContextCrashReport.h"
#include "ui/ContextHighScores.h"
#include "ui/ContextHighScoresOnline.h"
#include "ui/ContextMainGame.h"
#include "ui/ContextNetworkWizard1.h"
#include "ui/ContextNetworkWizard2.h"
#include "ui/ContextUploadScores.h"
#include "ui/MenuButton.h"
#include "ui/MessageViewer.h"
#include "ui/ProgramFixture.h"
#include "ui/RecordBytes.h"
#include "ui/ScreenStack.h"

namespace {

class OnlineProgramTest : public ScreenSizedProgramFixture {
protected:
    OnlineProgramTest() : service(serviceData.path) {}
    void SetUp() override {
        if (!std::getenv("TORVANE_DISPLAY_TESTS")) GTEST_SKIP() << "needs a display (TORVANE_DISPLAY_TESTS)";
        if (service.host.empty()) GTEST_SKIP() << "the web service program is not built";
        ProgramFixture::SetUp();
    }
    std::string settingsText() const override {
        return screenSizedSettings() + "[QorNetwork]\nwebServiceHost=" + service.host + "\n";
    }
    // Frames until the viewer's newest line is `line`.
    bool untilLastLine(MessageViewer* viewer, const std::u16string& line) {
        return tickUntil([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            return !viewer->entries.empty() && viewer->entries.back() == line;
        });
    }
    static bool shows(const MessageViewer* viewer, const std::u16string& line) {
        for (const auto& entry : viewer->entries)
            if (entry == line) return true;
        return false;
    }
    // The title menu's high scores, their options, then Upload.
    void openUpload() {
        clickOn(*top<ContextMainGame>()->highScoresItem);
        ASSERT_TRUE(tickUntil([this] { return top<ContextHighScores>(); }));
        clickOn(*top<ContextHighScores>()->pMoreOptions);
        ASSERT_TRUE(tickUntil([this] { return top<ContextHighScoresOnline>(); }));
        clickOn(*top<ContextHighScoresOnline>()->pUploadScores);
    }
    // A page of the service, fetched as the game fetches.
    std::u16string page(const std::u16string& path) {
        auto request = HttpRequest::create(service.host16(), path);
        request->start();
        while (request->getState() == HttpRequest::Running) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return request->getReplyText();
    }
    // The crash files as the error reporter and the crash handler leave them.
    void writeCrashFiles() {
        std::filesystem::create_directories(std::filesystem::path(home.file("x")).parent_path());
        std::ofstream(home.file("crash.Torvane2Xmas.log")) << "+0\tErrorManager::error(): Forced exit.\r\n";
        std::ofstream(home.file("crash.Torvane2Xmas.jpg")) << "\xFF\xD8\xFF\xE0 not much of a picture";
        std::ofstream(home.file("crash.Torvane2Xmas.mdmp")) << "Signal 11 (SIGSEGV)\n";
    }
    bool crashFilesLeft() const {
        for (const char* name : {"crash.Torvane2Xmas.log", "crash.Torvane2Xmas.jpg", "crash.Torvane2Xmas.mdmp"})
            if (std::filesystem::exists(home.file(name))) return true;
        return false;
    }
    // Log copies among the reports the service keeps.
    int storedLogs() const {
        int n = 0;
        const std::filesystem::path reports = std::filesystem::path(serviceData.path) / "crashreports";
        if (!std::filesystem::exists(reports)) return 0;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(reports))
            if (entry.path().filename() == "log.txt" &&
                TempFolder::read(entry.path().string()).find("Forced exit.") != std::string::npos)
                ++n;
        return n;
    }
    // The start-up up to the crash report, open and active.
    void reachCrashReport() {
        ASSERT_TRUE(tickUntil([this] { return top<ContextCrashReport>(); }));
        useSteppedClock(kFrameStep);
        useScriptedDevices();  // the mouse mode, as after the title's name entry
        ASSERT_TRUE(tickUntil([] {
            ContextManager* stack = global->pContextManager;
            return stack->pActiveScreen.get() == stack->top() && stack->pOverlay->level == 0.0f;
        }));
    }
    // The wizard from its first page: the test, then the country page's Next.
    void runWizard(bool expectSuccess) {
        ASSERT_TRUE(tickUntil([this] { return top<ContextNetworkWizard1>(); }));
        auto* wizard = top<ContextNetworkWizard1>();
        clickOn(*wizard->pNext);
        ASSERT_TRUE(untilLastLine(wizard->pViewer, expectSuccess ? u"Done."
                                                                 : u"You can continue, but some network "
                                                                   u"features will be unavailable."));
        clickOn(*wizard->pNext);
        ASSERT_TRUE(tickUntil([this] { return top<ContextNetworkWizard2>(); }));
        clickOn(*top<ContextNetworkWizard2>()->pNext);
    }

    TempFolder serviceData;
    ServiceProcess service;
};

TEST_F(OnlineProgramTest, TheWizardTestsTheConnectionThenTheUploadPutsTheScoresOnTheTablePage) {
    startToTheTitle();
    useSteppedClock(kFrameStep);
    global->configuration.insertScore(1, 55555, true, u"Ann");
    openUpload();  // the wizard comes first: it was never finished
    runWizard(true);
    ASSERT_TRUE(tickUntil([this] { return top<ContextHighScoresOnline>(); }));
    EXPECT_EQ(global->configuration.bNetworkWizardDone, 1);

    clickOn(*top<ContextHighScoresOnline>()->pUploadScores);
    ASSERT_TRUE(tickUntil([this] { return top<ContextUploadScores>(); }));
    auto* upload = top<ContextUploadScores>();
    clickOn(*upload->pNext);
    ASSERT_TRUE(untilLastLine(upload->pViewer, u"Done."));
    EXPECT_TRUE(shows(upload->pViewer, u"Connected."));
    clickOn(*upload->pNext);  // Finish
    ASSERT_TRUE(tickUntil([this] { return top<ContextHighScoresOnline>(); }));
    const std::u16string table = page(u"/tv2/highscoretable.php");
    EXPECT_NE(table.find(u"Ann"), std::u16string::npos);
}

TEST_F(OnlineProgramTest, AnUploadTheServiceRefusesShowsItsReasonAndNoAdviceOnTheConnection) {
    startToTheTitle();
    useSteppedClock(kFrameStep);
    global->configuration.bNetworkWizardDone = 1;
    const int place = global->configuration.insertScore(1, 55555, true, u"Ann");
    ASSERT_GE(place, 0);
    // One byte of the signed score changed: the entry's digest no longer matches it.
    global->configuration.highScores[1][place].score ^= 0x10;
    openUpload();
    ASSERT_TRUE(tickUntil([this] { return top<ContextUploadScores>(); }));
    auto* upload = top<ContextUploadScores>();
    clickOn(*upload->pNext);
    ASSERT_TRUE(untilLastLine(upload->pViewer, u"Failed."));
    const std::string reason =
        "Entry " + std::to_string(place + 1) + " of table 1 has a digest that does not match it.";
    EXPECT_TRUE(shows(upload->pViewer, std::u16string(reason.begin(), reason.end())));
    EXPECT_FALSE(shows(upload->pViewer, u"Please check your internet connection and try again."));
    EXPECT_FALSE(shows(upload->pViewer, u"Failed with HTTP status code 400"));
    EXPECT_TRUE(upload->pNext->bDisabled);
    EXPECT_EQ(page(u"/tv2/highscoretable.php").find(u"Ann"), std::u16string::npos);
}

TEST_F(OnlineProgramTest, ACrashIsReportedAtTheNextStartOnceThenItsFilesAreGone) {
    writeCrashFiles();
    reachCrashReport();
    auto* report = top<ContextCrashReport>();
    EXPECT_TRUE(shows(report->pViewer, u"An error report has been found on your computer."));
    ASSERT_NE(report->pNetworkWizard, nullptr);
    EXPECT_TRUE(report->pNext->bDisabled);
    clickOn(*report->pNetworkWizard);
    runWizard(true);
    ASSERT_TRUE(tickUntil([this] { return top<ContextCrashReport>(); }));
    EXPECT_FALSE(report->pNext->bDisabled);
    clickOn(*report->pNext);
    ASSERT_TRUE(untilLastLine(report->pViewer, u"Done."));
    clickOn(*report->pNext);  // Finish
    ASSERT_TRUE(tickUntil([this] { return top<ContextSplash>() || top<GameControllerIntro>(); }));
    EXPECT_FALSE(crashFilesLeft());
    EXPECT_EQ(storedLogs(), 1);  // the service kept the report, with the log copy

    WindowShell::deleteQOR();  // the next start
    ASSERT_TRUE(tickUntil([this] { return topIs<ContextSplash>(); }));
    frames(10);
    EXPECT_FALSE(top<ContextCrashReport>());
}

TEST_F(OnlineProgramTest, WithTheServiceStoppedEachScreenShowsItsFailureAndNothingLocalChanges) {
    writeCrashFiles();
    service.stop();
    reachCrashReport();
    clickOn(*top<ContextCrashReport>()->pNetworkWizard);
    runWizard(false);
    ASSERT_TRUE(tickUntil([this] { return top<ContextCrashReport>(); }));
    auto* report = top<ContextCrashReport>();
    clickOn(*report->pNext);
    ASSERT_TRUE(untilLastLine(report->pViewer, u"Failed."));
    EXPECT_TRUE(report->pNext->bDisabled);
    report->bFinished = 1;  // as Cancel does
    ASSERT_TRUE(tickUntil([this] { return !top<ContextCrashReport>(); }));
    EXPECT_TRUE(crashFilesLeft());  // not sent: offered again at the next start

    RecordBytes before(GameConfiguration::kSize), after(GameConfiguration::kSize);
    global->configuration.toBytes(before);
    auto* upload = new ContextUploadScores();
    ScreenStack::push(upload);
    ASSERT_TRUE(tickUntil([this] { return top<ContextUploadScores>(); }));
    clickOn(*upload->pNext);
    ASSERT_TRUE(untilLastLine(upload->pViewer, u"Failed."));
    EXPECT_TRUE(shows(upload->pViewer, u"Please check your internet connection and try again."));
    global->configuration.toBytes(after);
    EXPECT_EQ(std::vector<std::uint8_t>(before.data(), before.data() + before.size()),
              std::vector<std::uint8_t>(after.data(), after.data() + after.size()));
}
}  // namespace
