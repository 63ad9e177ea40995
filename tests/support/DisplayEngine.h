#pragma once
// Fixtures for tests that need the drawing device: an off-screen window (DisplayWindow)
// and a whole engine on it (DisplayEngine). Skipped unless the test run provides a
// display (TORVANE_DISPLAY_TESTS). The data folder is a fresh temporary one.
#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/Qor.h"
#include "platform/Window.h"
#include "support/TempFolder.h"
#include "support/TestVideo.h"

class DisplayWindow : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("TORVANE_DISPLAY_TESTS")) GTEST_SKIP() << "needs a display (TORVANE_DISPLAY_TESTS)";
        setenv("XDG_DATA_HOME", dataHome.path.c_str(), 1);
        ASSERT_TRUE(TestVideo::start("offscreen"));
        ASSERT_TRUE(window.create("test", 0, 0, 100, 100));
    }
    void TearDown() override {
        window.destroy();
        TestVideo::stop();
    }
    TempFolder dataHome;
    Window window;
};

class DisplayEngine : public DisplayWindow {
protected:
    void SetUp() override {
        DisplayWindow::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        engine = new Qor(nullptr, &window);
    }
    void TearDown() override {
        delete engine;
        engine = nullptr;
        DisplayWindow::TearDown();
    }
    Qor* engine = nullptr;
};
