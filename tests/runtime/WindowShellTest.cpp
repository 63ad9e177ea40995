// The program as a whole: started as its own process on the off-screen video driver,
// with its data folder in a temporary folder.
#include <SDL.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "engine/Logger.h"
#include "engine/Qor.h"
#include "engine/Strings.h"
#include "engine/SystemHelpers.h"
#include "game/GameGlobal.h"
#include "inputaudio/QorInput.h"
#include "inputaudio/WMhooks.h"
#include "platform/Window.h"
#include "runtime/WindowShell.h"
#include "support/DisplayEngine.h"
#include "support/TempFolder.h"
#include "support/UserDataHome.h"
#include "ui/ContextManager.h"
#include "ui/Global.h"

extern char** environ;

namespace {
namespace fs = std::filesystem;

class Program {
public:
    // Copies the program under its own name, so that tests running side by side are not
    // taken for a second copy of each other.
    Program(const TempFolder& folder, const std::string& name, const std::string& staticSettings)
        : dataHome(folder.file("data")), exe(folder.file(name)) {
        fs::create_directories(dataHome);
        fs::copy_file(TORVANE_PROGRAM_PATH, exe);
        // The program mounts its data, language and font archives from its own folder.
        for (const char* archive : {"Torvane2Xmas.dat", "Torvane2Xmas.dat.language.v2", "Torvane2Xmas.dat.1252"})
            fs::create_symlink(fs::path(TORVANE_PROGRAM_PATH).parent_path() / archive, folder.file(archive));
        std::ofstream(folder.file("Torvane2Xmas.cfg.static")) << staticSettings;
    }

    pid_t start() const {
        // The test's own environment (sanitizer options included), with the program's
        // folders and drivers set for the test.
        std::vector<std::string> env = {"XDG_DATA_HOME=" + dataHome, "SDL_VIDEODRIVER=offscreen",
                                        "SDL_AUDIODRIVER=dummy", "HOME=" + dataHome};
        for (char** e = environ; *e; ++e) {
            const std::string entry(*e);
            const std::string key = entry.substr(0, entry.find('=') + 1);
            if (key != "XDG_DATA_HOME=" && key != "SDL_VIDEODRIVER=" && key != "SDL_AUDIODRIVER=" && key != "HOME=")
                env.push_back(entry);
        }
        std::vector<char*> envp;
        for (auto& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        std::string arg0 = exe;
        char* argv[] = {arg0.data(), nullptr};
        pid_t pid = -1;
        posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv, envp.data());
        return pid;
    }

    // Waits for the process; its wait status, or -1 after the time-out.
    static int wait(pid_t pid, int seconds = 90) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        int status = 0;
        while (std::chrono::steady_clock::now() < deadline) {
            if (waitpid(pid, &status, WNOHANG) == pid) return status;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        return -1;
    }

    std::string file(const std::string& name) const { return dataHome + "/Quorrel studios/Torvane2Xmas/2.79/" + name; }
    std::string log() const { return TempFolder::read(file("Torvane2Xmas.log")); }

    // Waits until the log holds `text`.
    bool waitForLog(const std::string& text, int seconds = 90) const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        while (std::chrono::steady_clock::now() < deadline) {
            if (log().find(text) != std::string::npos) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    std::string dataHome;
    std::string exe;
};

const char kStaticSettings[] =
    "[Language]\r\nsingleLanguage=-1\r\nlanguageMask=11\r\n"
    "[Edition]\r\nbHoliday=1\r\n[Graphics]\r\nditherDepth=0\r\nhq2x=1\r\n";

class WindowShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("TORVANE_DISPLAY_TESTS")) GTEST_SKIP() << "needs a display (TORVANE_DISPLAY_TESTS)";
    }
    TempFolder folder;
};
}  // namespace

TEST_F(WindowShellTest, ARunStartsLogsAndEndsWithACleanExitWhenClosed) {
    Program program(folder, "TorvaneRun", kStaticSettings);
    const pid_t pid = program.start();
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(program.waitForLog("createQOR(): Entering game loop."));
    // SDL turns the termination request into a close request, as closing the window does.
    kill(pid, SIGTERM);
    const int status = Program::wait(pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    const std::string log = program.log();
    EXPECT_EQ(log.rfind("\xEF\xBB\xBF\tApplication: Torvane2Xmas v2.79.p ", 0), 0u);
    const auto order = {"deleteQOR(): QOR shutting down...", "Qor::~Qor(): Initiating shutdown...", "Qor::~Qor(): 1...",
                        "Qor::~Qor(): 14...", "Qor::~Qor(): Done. Clean exit.\r\n"};
    std::size_t at = 0;
    for (const char* line : order) {
        at = log.find(line, at);
        EXPECT_NE(at, std::string::npos) << line;
    }
    EXPECT_TRUE(log.ends_with("Qor::~Qor(): Done. Clean exit.\r\n"));
    // The first start writes the engine's settings with their defaults.
    const std::string settings = TempFolder::read(program.file("Torvane2Xmas.cfg"));
    EXPECT_NE(settings.find("[Qor]\r\n"), std::string::npos);
    EXPECT_NE(settings.find("debugCode=1\r\n"), std::string::npos);
    // Never chosen (-2) when closed before the loading screen got to the language, else
    // detected from the system: English here.
    EXPECT_TRUE(settings.find("defaultLanguage=-2\r\n") != std::string::npos ||
                settings.find("defaultLanguage=0\r\n") != std::string::npos);
}

TEST_F(WindowShellTest, ASecondCopyExitsAtOnce) {
    Program program(folder, "TorvaneTwice", kStaticSettings);
    const pid_t first = program.start();
    ASSERT_TRUE(program.waitForLog("Entering game loop."));
    const pid_t second = program.start();
    const int secondStatus = Program::wait(second, 10);
    ASSERT_TRUE(WIFEXITED(secondStatus));
    EXPECT_EQ(WEXITSTATUS(secondStatus), 0);
    kill(first, SIGTERM);
    EXPECT_TRUE(WIFEXITED(Program::wait(first)));
}

TEST_F(WindowShellTest, AProcessLeftWithTheProgramsNameDoesNotBlockAStart) {
    Program program(folder, "TorvaneLeftover", kStaticSettings);
    // What a dead copy's error box is to a check by name: a process of the same file name.
    fs::create_directory(folder.file("old"));
    fs::copy_file("/bin/sleep", folder.file("old/TorvaneLeftover"));
    std::string name = folder.file("old/TorvaneLeftover"), seconds = "60";
    char* argv[] = {name.data(), seconds.data(), nullptr};
    pid_t leftover = -1;
    ASSERT_EQ(posix_spawn(&leftover, name.c_str(), nullptr, nullptr, argv, environ), 0);
    const pid_t pid = program.start();
    EXPECT_TRUE(program.waitForLog("Entering game loop.", 30));
    kill(pid, SIGTERM);
    Program::wait(pid);
    kill(leftover, SIGKILL);
    waitpid(leftover, nullptr, 0);
}

TEST_F(WindowShellTest, AFatalErrorReportsItsMessageWritesTheCrashLogAndExitsWith255) {
    // A static settings file without its "hq2x" key cannot be run.
    Program program(folder, "TorvaneFatal",
                    "[Language]\r\nsingleLanguage=-1\r\nlanguageMask=11\r\n[Edition]\r\nbHoliday=1\r\n"
                    "[Graphics]\r\nditherDepth=0\r\n");
    const int status = Program::wait(program.start());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 255);
    const std::string crashLog = TempFolder::read(program.file("crash.Torvane2Xmas.log"));
    EXPECT_NE(crashLog.find("Error: Key 'hq2x' could not be found in section 'Graphics'."), std::string::npos);
    EXPECT_NE(crashLog.find("ErrorManager::error(): Forced exit."), std::string::npos);
}

TEST_F(WindowShellTest, ACrashWritesAReportAndACopyOfTheLog) {
    Program program(folder, "TorvaneCrash", kStaticSettings);
    const pid_t pid = program.start();
    ASSERT_TRUE(program.waitForLog("Entering game loop."));
    kill(pid, SIGSEGV);
    const int status = Program::wait(pid);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGSEGV);
    const std::string report = TempFolder::read(program.file("crash.Torvane2Xmas.mdmp"));
    EXPECT_NE(report.find("Signal: 11 SIGSEGV"), std::string::npos) << report;
    EXPECT_NE(report.find("Backtrace:"), std::string::npos);
    EXPECT_NE(TempFolder::read(program.file("crash.Torvane2Xmas.log")).find("Entering game loop."), std::string::npos);
}

// The page chosen before exit goes to the system's opener once the log has ended; the
// log's file then says what ran and how it went, so that a player whose page did not
// open can see why. Here the opener is a script that finds no browser, then none at all.
TEST(WindowShellPageTest, OpeningAPageAtExitLeavesTheCommandAndItsOutcomeInTheLog) {
    UserDataHome home;
    const std::string logPath = wideToUtf8(Logger::getLogPath());
    fs::create_directories(fs::path(logPath).parent_path());
    std::ofstream(logPath) << "\tQor::~Qor(): Done. Clean exit.\r\n";
    TempFolder bin, nothing;
    const std::string opener = bin.file("xdg-open");
    std::ofstream(opener) << "#!/bin/sh\necho \"$1\" > '" << bin.file("opened") << "'\nexit 3\n";
    fs::permissions(opener, fs::perms::owner_all);
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", bin.path.c_str(), 1);
    WindowShell::openPage(u"http://localhost:8079/tv2/onlinehelp.php");
    setenv("PATH", nothing.path.c_str(), 1);
    WindowShell::openPage(u"http://localhost:8079/");
    setenv("PATH", path.c_str(), 1);

    EXPECT_EQ(TempFolder::read(bin.file("opened")), "http://localhost:8079/tv2/onlinehelp.php\n");
    const std::string log = TempFolder::read(logPath);
    const auto order = {"Clean exit.\r\n",
                        "\tWindowShell::openPage(): Running: xdg-open \"http://localhost:8079/tv2/onlinehelp.php\"\r\n",
                        "\tWindowShell::openPage(): It started (process ",
                        " and ended with status 3: the page was not opened.\r\n",
                        "\tWindowShell::openPage(): Running: xdg-open \"http://localhost:8079/\"\r\n",
                        "\tWindowShell::openPage(): It could not be started: No such file or directory.\r\n"};
    std::size_t at = 0;
    for (const char* line : order) {
        at = log.find(line, at);
        ASSERT_NE(at, std::string::npos) << line << "\nin:\n" << log;
    }
}

namespace {
// The idle tick in this process, on an off-screen window.
class IdleTick : public DisplayWindow {
protected:
    void SetUp() override {
        DisplayWindow::SetUp();
        WindowShell::setApplicationFactory(&GameGlobal::start);
    }
    void TearDown() override {
        WindowShell::deleteQOR();
        DisplayWindow::TearDown();
    }
};
}  // namespace

TEST_F(IdleTick, TheFirstTickBuildsTheEngineAndARestartRebuildsItAtTheNextTick) {
    EXPECT_TRUE(WindowShell::tick(window));
    ASSERT_NE(qor, nullptr);
    ASSERT_NE(global, nullptr);
    EXPECT_EQ(qor->frameCounter, 1);
    restartRequested = true;
    EXPECT_TRUE(WindowShell::tick(window));
    EXPECT_EQ(qor, nullptr);
    EXPECT_EQ(global, nullptr);
    EXPECT_FALSE(restartRequested);
    EXPECT_TRUE(WindowShell::tick(window));
    ASSERT_NE(qor, nullptr);
    EXPECT_EQ(qor->frameCounter, 1);
}

namespace {
// One event of every kind the window reports, waiting in its queue: focus, mouse, wheel,
// keys, text and a finger's whole touch.
void queueOneOfEachEvent() {
    std::vector<SDL_Event> events(12);
    events[0].type = events[1].type = SDL_WINDOWEVENT;
    events[0].window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    events[1].window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    events[2].type = SDL_MOUSEMOTION;
    events[2].motion.x = 30;
    events[2].motion.y = 40;
    events[3].type = SDL_MOUSEBUTTONDOWN;
    events[4].type = SDL_MOUSEBUTTONUP;
    events[3].button.button = events[4].button.button = SDL_BUTTON_LEFT;
    events[5].type = SDL_MOUSEWHEEL;
    events[5].wheel.y = 1;
    events[6].type = SDL_KEYDOWN;
    events[6].key.keysym.sym = SDLK_BACKSPACE;
    events[7].type = SDL_TEXTINPUT;
    events[7].text.text[0] = 'a';
    events[8].type = SDL_FINGERDOWN;
    events[9].type = SDL_FINGERMOTION;
    events[10].type = SDL_FINGERUP;
    for (SDL_Event* finger : {&events[8], &events[9], &events[10]}) {
        finger->tfinger.touchId = 1;
        finger->tfinger.fingerId = 7;
        finger->tfinger.x = finger->tfinger.y = 0.5f;
    }
    events[11].type = SDL_MOUSEMOTION;  // the move a window's change of size brings
    for (SDL_Event& e : events) ASSERT_EQ(SDL_PushEvent(&e), 1);
}

// Dispatches every waiting event as the message loop does; their number.
int dispatchAll(Window& window, WMhooks& hooks) {
    int n = 0;
    while (window.dispatchOneEvent(hooks)) ++n;
    return n;
}
}  // namespace

TEST_F(IdleTick, WindowEventsWithoutAnEngineAreDroppedBeforeTheFirstBuildAndInARestartsGap) {
    WMhooks hooks;
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    queueOneOfEachEvent();
    EXPECT_GE(dispatchAll(window, hooks), 12);  // before the engine exists
    EXPECT_TRUE(WindowShell::tick(window));
    ASSERT_NE(qor, nullptr);
    restartRequested = true;
    EXPECT_TRUE(WindowShell::tick(window));
    ASSERT_EQ(qor, nullptr);
    queueOneOfEachEvent();
    EXPECT_GE(dispatchAll(window, hooks), 12);  // between the teardown and the next build
    EXPECT_FALSE(hooks.bCloseRequested);
    EXPECT_TRUE(WindowShell::tick(window));
    ASSERT_NE(qor, nullptr);
    EXPECT_TRUE(qor->windowActive);
    // The rebuilt engine hears the window again.
    queueOneOfEachEvent();
    dispatchAll(window, hooks);
    EXPECT_EQ(qor->input().inputMode, QorInput::kModeMouse);  // the last move
    EXPECT_EQ(qor->input().wheelSum, 120);
    EXPECT_EQ(qor->input().typedChar, u'\b');
}

TEST_F(IdleTick, AQuitRequestWinsOverARestartInTheSameFrame) {
    EXPECT_TRUE(WindowShell::tick(window));
    global->pContextManager->bQuitRequested = 1;
    restartRequested = true;
    EXPECT_FALSE(WindowShell::tick(window));
    EXPECT_NE(qor, nullptr);
    restartRequested = false;
}

TEST(WindowShellAddress, DocumentsLieBesideTheProgramAndWebAddressesStayAsTheyAre) {
    EXPECT_EQ(WindowShell::resolveAddress(u"readme.htm"), getApplicationFolder() + u"readme.htm");
    EXPECT_EQ(WindowShell::resolveAddress(u"https://example.org/tv2/onlinehelp.php"),
              u"https://example.org/tv2/onlinehelp.php");
    EXPECT_EQ(WindowShell::resolveAddress(u"/usr/share/doc/readme.htm"), u"/usr/share/doc/readme.htm");
}
