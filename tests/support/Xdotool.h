#pragma once
// For display tests on an X server of their own: keys, buttons and moves of the mouse
// sent through the server's test extension, as from real devices.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

// Whether xdotool, and Xvfb for the server it drives, are installed.
inline bool xdotoolAndXvfbInstalled() {
    return std::system("command -v xdotool >/dev/null && command -v Xvfb >/dev/null") == 0;
}

// Runs `xdotool <command>` on the display DISPLAY names; a command that fails fails the test.
inline void xdotool(const std::string& command) {
    ASSERT_EQ(std::system(("xdotool " + command).c_str()), 0) << command;
}
