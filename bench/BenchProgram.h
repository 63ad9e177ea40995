#pragma once
// The whole program for the game's benchmarks: its own shell run to the title menu (which
// loads the data) in an 800 x 480 window with the swap interval off, its data folder in a
// fresh folder under /tmp, and a player named when a first start asks for one. The window
// is made at that size: SDL's offscreen surface keeps the size it was made with, and a
// smaller one would spare the program most of its presentation.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "ChildProcess.h"
#include "engine/Qor.h"
#include "engine/Strings.h"
#include "engine/SystemHelpers.h"
#include "game/GameGlobal.h"
#include "platform/Window.h"
#include "runtime/WindowShell.h"
#include "ui/ContextEnterName.h"
#include "ui/ContextMainGame.h"
#include "ui/ContextManager.h"
#include "ui/Loader.h"

namespace bench {
// False when the program never reached its title menu. `loadEverything` decodes every
// picture at start (drawing benchmarks then time no decoding); otherwise pictures are
// decoded on first use, as the program's own settings have it.
inline bool startProgram(Window& window, bool loadEverything = true) {
    char pattern[] = "/tmp/torvane-bench-XXXXXX";
    if (!mkdtemp(pattern)) return false;
    setenv("XDG_DATA_HOME", pattern, 1);
    std::filesystem::create_directories(wideToUtf8(getDataFolder()));
    std::ofstream(wideToUtf8(getDataFolder()) + wideToUtf8(kBuildName) + ".cfg")
        << "[QorGraphics]\nbFullScreen=No\nvideoModeWidth=800\nvideoModeHeight=480\nbUseVSync=No\n"
           "[Qor]\ndefaultLanguage=0\n"
        << (loadEverything ? "bEnableDelayedLoad=No\n" : "");
    if (!Window::initVideo() || !window.create("Torvane 2 bench", 50, 50, kWindowWidth, kWindowHeight)) return false;
    WindowShell::setApplicationFactory(&GameGlobal::start);
    for (int i = 0; i < 100000 && WindowShell::tick(window); ++i) {
        if (!global) continue;
        ContextManager* stack = global->pContextManager;
        if (dynamic_cast<ContextMainGame*>(stack->top())) return true;
        if (dynamic_cast<ContextEnterName*>(stack->top())) global->profiles.createProfile(u"Bench");
        if (!dynamic_cast<Loader*>(stack->top())) stack->top()->bFinished = 1;
    }
    return false;
}

// Closes the program and removes its data folder.
inline void stopProgram(Window& window) {
    const char* home = std::getenv("XDG_DATA_HOME");
    const std::string dataHome = home ? home : "";
    WindowShell::onClose();
    window.destroy();
    Window::shutdownVideo();
    if (dataHome.rfind("/tmp/torvane-bench-", 0) == 0) std::filesystem::remove_all(dataHome);
}
}  // namespace bench
