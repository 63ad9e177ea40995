// A display test that cannot get its display: under continuous integration (CI set),
// which promises every display test its display, it fails, so that lost coverage shows;
// elsewhere it is skipped with its reason. An X server that cannot start names no display.
// A private X server runs off the processors its test is held to, and outlives a child
// forked from the test that ends.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

#include "support/ScopedVariable.h"
#include "support/XServer.h"

namespace {
// A display test's start whose private X server cannot start: no Xvfb on the way.
void startWithoutXvfb() {
    std::optional<PrivateXServer> server;
    {
        ScopedVariable path("PATH", "/nonexistent");
        server.emplace(64, 48);
    }
    if (server->display.empty()) LEAVE_WITHOUT_DISPLAY("no Xvfb to run a private X server");
    ADD_FAILURE() << "a display " << server->display << " without Xvfb";
}

TEST(DisplayTestWithoutItsDisplay, FailsWhereContinuousIntegrationPromisesIt) {
    ScopedVariable ci("CI", "true");
    EXPECT_FATAL_FAILURE(startWithoutXvfb(), "no Xvfb to run a private X server");
}

TEST(DisplayTestWithoutItsDisplay, IsSkippedWithItsReasonElsewhere) {
    for (const char* value : {static_cast<const char*>(nullptr), "", "false", "0"}) {
        ScopedVariable ci("CI", value);
        ::testing::TestPartResultArray results;
        {
            ::testing::ScopedFakeTestPartResultReporter reporter(
                ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
            startWithoutXvfb();
        }
        ASSERT_EQ(results.size(), 1) << (value ? value : "CI unset");
        EXPECT_TRUE(results.GetTestPartResult(0).skipped()) << (value ? value : "CI unset");
        EXPECT_NE(std::string(results.GetTestPartResult(0).message()).find("no Xvfb"), std::string::npos);
    }
}

// A private X server of 64 x 48 pixels, started by the test.
class PrivateXServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("TORVANE_DISPLAY_TESTS")) GTEST_SKIP() << "needs a display (TORVANE_DISPLAY_TESTS)";
    }
    std::optional<PrivateXServer> server;
};

// A test pinned to one busy core would otherwise share it with the server that shows
// its frames.
TEST_F(PrivateXServerTest, RunsOffTheProcessorsTheTestIsHeldTo) {
    // The processors this machine (or container) runs its processes on, as its first has them.
    cpu_set_t machine;
    if (sched_getaffinity(1, sizeof machine, &machine) != 0 || CPU_COUNT(&machine) < 2)
        GTEST_SKIP() << "one processor: nowhere else to run";
    cpu_set_t own;
    ASSERT_EQ(sched_getaffinity(0, sizeof own, &own), 0);
    int held = 0;
    while (!CPU_ISSET(held, &own)) ++held;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(held, &one);
    ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
    server.emplace(64, 48);
    ASSERT_EQ(sched_setaffinity(0, sizeof own, &own), 0);
    if (server->display.empty()) LEAVE_WITHOUT_DISPLAY("no Xvfb to run a private X server");
    cpu_set_t its;
    ASSERT_EQ(sched_getaffinity(server->pid, sizeof its, &its), 0);
    EXPECT_FALSE(CPU_ISSET(held, &its)) << "the server may run on processor " << held << ", the test's";
    EXPECT_GT(CPU_COUNT(&its), 0);
}

// A death test's child ends through exit, which ends whatever the test process held in
// static storage, an engine fixture's server among them.
TEST_F(PrivateXServerTest, AChildForkedFromTheTestEndsWithoutEndingTheServer) {
    server.emplace(64, 48);
    if (server->display.empty()) LEAVE_WITHOUT_DISPLAY("no Xvfb to run a private X server");
    const pid_t child = fork();
    if (child == 0) {
        server.reset();
        _exit(0);
    }
    ASSERT_EQ(waitpid(child, nullptr, 0), child);
    // A server told to end goes within moments; one left alone is still there after them.
    for (int ms = 0; ms < 1000; ms += 10) {
        ASSERT_EQ(waitpid(server->pid, nullptr, WNOHANG), 0) << "the server ended after " << ms << " ms";
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}
}  // namespace
