#pragma once
// For display tests on an X server of their own: keys, buttons and moves of the mouse
// sent through the server's test extension, as from real devices.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

// Whether xdotool, and Xvfb for the server it drives, are installed. A fixture that sends
// through xdotool asks this in its SetUp and leaves the test without its display if not.
inline bool xdotoolAndXvfbInstalled() {
    return std::system("command -v xdotool >/dev/null && command -v Xvfb >/dev/null") == 0;
}

// Runs `xdotool <command>` on the display DISPLAY names, for a minute at most (a search
// for a window that never comes would wait for ever). A command that fails is the test's
// failure, and the test stops there: ASSERT_TRUE(xdotool(...)).
[[nodiscard]] inline testing::AssertionResult xdotool(const std::string& command) {
    const int status = std::system(("timeout 60 xdotool " + command).c_str());
    if (status == 0) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "xdotool " << command << " failed (wait status " << status << ")";
}
