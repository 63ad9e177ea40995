#include <SDL.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/MessageBox.h"
#include "platform/SystemInfo.h"

namespace {
using Clock = std::chrono::steady_clock;

TEST(MessageBoxTest, StandardErrorGetsTheTitleOnlyWhenTheTextLacksIt) {
    testing::internal::CaptureStderr();
    MessageBox::showError("Error", "Error: Key 'x' is missing.");
    MessageBox::showError("Error", "Disk trouble");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: Key 'x' is missing.\nError: Disk trouble\n");
}

// A program that shows a fatal error box on the display and ends once it is closed;
// -1 when its video did not start. It returns once the video has started, so that the
// helpers the video layer runs while it starts are over.
pid_t startProgramWithABox() {
    int started[2];
    if (pipe(started) != 0) return -1;
    const pid_t program = fork();
    if (program == 0) {
        close(started[0]);
        setenv("SDL_VIDEODRIVER", "x11", 1);
        if (SDL_Init(SDL_INIT_VIDEO) != 0) _exit(3);
        const char byte = 1;
        if (write(started[1], &byte, 1) != 1) _exit(3);
        MessageBox::showError("Error", "A test box.");
        _exit(0);
    }
    close(started[1]);
    char byte = 0;
    const bool ok = read(started[0], &byte, 1) == 1;
    close(started[0]);
    return ok ? program : -1;
}

// The child the video layer made to draw the box, or -1 when none came.
pid_t waitForTheBox(pid_t program) {
    for (const auto end = Clock::now() + std::chrono::seconds(20); Clock::now() < end;) {
        for (const auto& p : SystemInfo::listProcesses())
            if (p.parentProcessId == program) return p.processId;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
}

// The wait status of `pid`, or -1 when it still runs after ten seconds (it is then killed).
int waitForEnd(pid_t pid) {
    int status = 0;
    for (const auto end = Clock::now() + std::chrono::seconds(10); Clock::now() < end;) {
        if (waitpid(pid, &status, WNOHANG) == pid) return status;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
}

class ErrorBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("TORVANE_DISPLAY_TESTS") || !std::getenv("DISPLAY"))
            GTEST_SKIP() << "needs an X display (TORVANE_DISPLAY_TESTS and DISPLAY)";
        // Orphans come to this process, so that the box's end can be seen.
        prctl(PR_SET_CHILD_SUBREAPER, 1);
        program = startProgramWithABox();
        ASSERT_GT(program, 0) << "the video did not start";
        box = waitForTheBox(program);
        ASSERT_GT(box, 0) << "no box process appeared";
    }
    void TearDown() override { prctl(PR_SET_CHILD_SUBREAPER, 0); }
    pid_t program = -1;
    pid_t box = -1;
};
}  // namespace

TEST_F(ErrorBoxTest, TheBoxDiesWithItsProgram) {
    kill(program, SIGKILL);
    waitForEnd(program);
    EXPECT_TRUE(WIFSIGNALED(waitForEnd(box)));
}

TEST_F(ErrorBoxTest, TheBoxClosesOnATerminationRequest) {
    // The program sees its box gone and goes on to its end.
    kill(box, SIGTERM);
    const int programStatus = waitForEnd(program);
    EXPECT_TRUE(WIFEXITED(programStatus)) << programStatus;
}
