#pragma once
// A fixture with a whole engine on an off-screen window, for tests that need the
// drawing device. Skipped unless the test run provides a display (TORVANE_DISPLAY_TESTS).
#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/Qor.h"
#include "platform/Window.h"
#include "support/TempFolder.h"

class DisplayEngine : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("TORVANE_DISPLAY_TESTS")) GTEST_SKIP() << "needs a display (TORVANE_DISPLAY_TESTS)";
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("XDG_DATA_HOME", dataHome.path.c_str(), 1);
        ASSERT_TRUE(Window::initVideo());
        ASSERT_TRUE(window.create("test", 0, 0, 100, 100));
        engine = new Qor(nullptr, &window);
    }
    void TearDown() override {
        delete engine;
        engine = nullptr;
        window.destroy();
        Window::shutdownVideo();
    }
    TempFolder dataHome;
    Window window;
    Qor* engine = nullptr;
};
