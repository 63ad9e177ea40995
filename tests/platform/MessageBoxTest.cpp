#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/MessageBox.h"
#include "platform/SystemInfo.h"
#include "platform/Window.h"
#include "support/ScopedVariable.h"
#include "support/TestVideo.h"
#include "support/XServer.h"

namespace {
using Clock = std::chrono::steady_clock;

TEST(MessageBoxTest, StandardErrorGetsTheTitleOnlyWhenTheTextLacksIt) {
    TestVideo::stop();  // without a display, so that no box waits for an answer
    testing::internal::CaptureStderr();
    MessageBox::showError("Error", "Error: Key 'x' is missing.");
    MessageBox::showError("Error", "Disk trouble");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: Key 'x' is missing.\nError: Disk trouble\n");
}

// A program that shows a fatal error box on `display`, which closes by itself after
// `closeAfter` seconds, and ends once it is closed; -1 when its video did not start. It
// returns once the video has started, so that the helpers the video layer runs while it
// starts are over. The program starts its video itself, as the game does: none of this
// process's may run, since a forked copy of a program shows no box on its video.
pid_t startProgramWithABox(const std::string& display, unsigned closeAfter) {
    int started[2];
    if (pipe(started) != 0) return -1;
    const pid_t program = fork();
    if (program == 0) {
        close(started[0]);
        setenv("DISPLAY", display.c_str(), 1);
        setenv("SDL_VIDEODRIVER", "x11", 1);
        if (!Window::initVideo()) _exit(3);
        const char byte = 1;
        if (write(started[1], &byte, 1) != 1) _exit(3);
        MessageBox::showError("Error", "A test box.", closeAfter);
        _exit(0);
    }
    close(started[1]);
    char byte = 0;
    const bool ok = read(started[0], &byte, 1) == 1;
    close(started[0]);
    return ok ? program : -1;
}

// The children of `program` that run its own code (not a helper it started): the box.
std::vector<pid_t> boxesOf(pid_t program) {
    std::string ownName;
    const auto processes = SystemInfo::listProcesses();
    for (const auto& p : processes)
        if (p.processId == getpid()) ownName = p.name;
    std::vector<pid_t> boxes;
    for (const auto& p : processes)
        if (p.parentProcessId == program && p.name == ownName) boxes.push_back(p.processId);
    return boxes;
}

// The child the video layer made to draw the box, or -1 when none came.
pid_t waitForTheBox(pid_t program) {
    for (const auto end = Clock::now() + std::chrono::seconds(20); Clock::now() < end;) {
        if (const auto boxes = boxesOf(program); !boxes.empty()) return boxes.front();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
}

// The wait status of `pid`, or -1 when it still runs after 30 seconds (it is then
// killed); `meanwhile` runs between the looks.
template <class F>
int waitForEnd(pid_t pid, F meanwhile) {
    int status = 0;
    for (const auto end = Clock::now() + std::chrono::seconds(30); Clock::now() < end;) {
        if (waitpid(pid, &status, WNOHANG) == pid) return status;
        meanwhile();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
}
int waitForEnd(pid_t pid) {
    return waitForEnd(pid, [] {});
}

class ErrorBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("TORVANE_DISPLAY_TESTS")) GTEST_SKIP() << "needs Xvfb (TORVANE_DISPLAY_TESTS)";
        if (server.display.empty()) LEAVE_WITHOUT_DISPLAY("Xvfb did not start");
        // Orphans come to this process, so that the box's end can be seen.
        prctl(PR_SET_CHILD_SUBREAPER, 1);
        TestVideo::stop();
        program = startProgramWithABox(server.display, closeAfter);
        ASSERT_GT(program, 0) << "the video did not start";
        box = waitForTheBox(program);
        ASSERT_GT(box, 0) << "no box process appeared";
    }
    void TearDown() override { prctl(PR_SET_CHILD_SUBREAPER, 0); }
    // Of the test's own, so that its boxes take no focus from other tests' windows.
    PrivateXServer server{640, 480};
    unsigned closeAfter = 0;  // s; the box waits for an answer alone
    pid_t program = -1;
    pid_t box = -1;
};

// A box that nobody answers, of a few seconds, so that its start is seen before its end.
class UnansweredErrorBoxTest : public ErrorBoxTest {
protected:
    UnansweredErrorBoxTest() { closeAfter = 3; }
};
}  // namespace

TEST_F(ErrorBoxTest, TheBoxDiesWithItsProgram) {
    kill(program, SIGKILL);
    waitForEnd(program);
    EXPECT_NE(waitForEnd(box), -1) << "the box outlived its program";
}

TEST_F(ErrorBoxTest, TheBoxClosesOnATerminationRequest) {
    // The program sees its box gone and goes on to its end; every box it shows is asked.
    const int programStatus = waitForEnd(program, [this] {
        for (pid_t shown : boxesOf(program)) kill(shown, SIGTERM);
    });
    EXPECT_TRUE(WIFEXITED(programStatus)) << programStatus;
}

TEST_F(UnansweredErrorBoxTest, TheBoxClosesByItselfAndTheProgramGoesOnToItsEnd) {
    const int programStatus = waitForEnd(program);
    EXPECT_TRUE(WIFEXITED(programStatus) && WEXITSTATUS(programStatus) == 0) << programStatus;
}

// A copy forked from a program whose video runs (a death test's child, say) has nobody to
// answer a box on that video: its fatal error shows none, and it goes on to its end.
TEST(ErrorBoxForkTest, ACopyForkedFromTheProgramShowsNoBox) {
    if (!std::getenv("TORVANE_DISPLAY_TESTS")) GTEST_SKIP() << "needs Xvfb (TORVANE_DISPLAY_TESTS)";
    PrivateXServer server(320, 240);
    if (server.display.empty()) LEAVE_WITHOUT_DISPLAY("Xvfb did not start");
    const ScopedVariable display("DISPLAY", server.display.c_str());
    const TestVideo::StopAtEnd stopVideo;
    ASSERT_TRUE(TestVideo::start("x11"));
    const pid_t copy = fork();
    if (copy == 0) {
        MessageBox::showError("Error", "A copy's error.", 0);
        _exit(0);
    }
    const int copyStatus = waitForEnd(copy);
    EXPECT_TRUE(WIFEXITED(copyStatus) && WEXITSTATUS(copyStatus) == 0) << "the copy waited on a box: " << copyStatus;
}
