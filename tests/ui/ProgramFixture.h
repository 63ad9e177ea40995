#pragma once
// Test support for whole-program tests: the program's own shell runs its event loop on
// an off-screen window (display tests only), with the user files in a private data
// folder that starts with the settings the test gives.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/Qor.h"
#include "game/GameGlobal.h"
#include "inputaudio/WMhooks.h"
#include "platform/Window.h"
#include "runtime/WindowShell.h"
#include "support/UserDataHome.h"
#include "ui/ContextManager.h"
#include "ui/Global.h"

class ProgramFixture : public ::testing::Test {
protected:
    // The per-machine settings file the first start finds.
    virtual std::string settingsText() const {
        return "[QorGraphics]\nbFullScreen=No\nvideoModeWidth=320\nvideoModeHeight=192\n"
               "[Qor]\ndefaultLanguage=-1\nbEnableDelayedLoad=No\n";
    }
    void SetUp() override {
        if (!std::getenv("TORVANE_DISPLAY_TESTS")) GTEST_SKIP() << "needs a display (TORVANE_DISPLAY_TESTS)";
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        std::filesystem::create_directories(std::filesystem::path(home.file("x")).parent_path());
        std::ofstream(home.file("Torvane2Xmas.cfg")) << settingsText();
        ASSERT_TRUE(Window::initVideo());
        ASSERT_TRUE(window.create("test", 0, 0, 100, 100));
        WindowShell::setApplicationFactory(&GameGlobal::start);
    }
    void TearDown() override {
        if (!std::getenv("TORVANE_DISPLAY_TESTS")) return;
        WindowShell::deleteQOR();
        window.destroy();
    }
    // Runs idle ticks until `done` holds (at most `limit` of them); false when it never did.
    template <class F>
    bool tickUntil(F done, int limit = 2000) {
        for (int i = 0; i < limit; ++i) {
            if (qor && done()) return true;
            if (!runOneMoreFrame()) return false;
        }
        return false;
    }
    // The window's waiting events, then one frame, as the program's own loop runs them;
    // false once the program is over.
    bool runOneMoreFrame() {
        while (window.dispatchOneEvent(hooks)) {
        }
        return WindowShell::tick(window);
    }
    template <class T>
    bool topIs() {
        return dynamic_cast<T*>(global->pContextManager->top()) != nullptr;
    }

    UserDataHome home;
    Window window;
    WMhooks hooks;
};
