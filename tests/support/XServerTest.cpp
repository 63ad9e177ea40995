// A display test that cannot get its display: under continuous integration (CI set),
// which promises every display test its display, it fails, so that lost coverage shows;
// elsewhere it is skipped with its reason. An X server that cannot start names no display.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "support/XServer.h"

namespace {
// An environment variable set (or, for null, unset) for the holder's lifetime.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name(name) {
        if (const char* old = std::getenv(name)) previous = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedVariable() {
        if (previous)
            setenv(name, previous->c_str(), 1);
        else
            unsetenv(name);
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name;
    std::optional<std::string> previous;
};

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
}  // namespace
