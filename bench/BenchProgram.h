#pragma once
// The whole program for the game's benchmarks: its own shell run to the title menu (which
// loads the data) in an 800 x 480 window (or one of the size asked for) with the swap
// interval off, its data folder in a fresh folder under /tmp, and a player named when a
// first start asks for one. The window is made at the size of the program's video mode:
// SDL's offscreen surface keeps the size it was made with, and a smaller one would spare
// the program most of its presentation. The window's events are taken between frames, as
// the program's own loop takes them.
#include <SDL.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "ChildProcess.h"
#include "engine/Qor.h"
#include "engine/Strings.h"
#include "engine/SystemHelpers.h"
#include "game/GameGlobal.h"
#include "inputaudio/WMhooks.h"
#include "platform/Window.h"
#include "runtime/WindowShell.h"
#include "ui/ContextEnterName.h"
#include "ui/ContextMainGame.h"
#include "ui/ContextManager.h"
#include "ui/Loader.h"

namespace bench {
// The window's waiting events, then one frame, as the program's own loop runs them; false
// once the program is over.
inline bool runOneFrame(Window& window, WMhooks& hooks) {
    while (window.dispatchOneEvent(hooks)) {
    }
    return WindowShell::tick(window);
}

// False when the program never reached its title menu. `loadEverything` decodes every
// picture at start (drawing benchmarks then time no decoding); otherwise pictures are
// decoded on first use, as the program's own settings have it.
inline bool startProgram(Window& window, bool loadEverything = true, int width = kWindowWidth,
                         int height = kWindowHeight) {
    char pattern[] = "/tmp/torvane-bench-XXXXXX";
    if (!mkdtemp(pattern)) return false;
    setenv("XDG_DATA_HOME", pattern, 1);
    std::filesystem::create_directories(wideToUtf8(getDataFolder()));
    std::ofstream(wideToUtf8(getDataFolder()) + wideToUtf8(kBuildName) + ".cfg")
        << "[QorGraphics]\nbFullScreen=No\nvideoModeWidth=" << width << "\nvideoModeHeight=" << height
        << "\nbUseVSync=No\n[Qor]\ndefaultLanguage=0\n"
        << (loadEverything ? "bEnableDelayedLoad=No\n" : "");
    if (!Window::initVideo() || !window.create("Torvane 2 bench", 50, 50, width, height)) return false;
    // An X server of the benchmark's own has no window manager to give the window the
    // keyboard, without which the program waits for it.
    if (!window.isHeadless()) SDL_SetWindowInputFocus(window.handle());
    WindowShell::setApplicationFactory(&GameGlobal::start);
    WMhooks hooks;
    for (int i = 0; i < 100000 && runOneFrame(window, hooks); ++i) {
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
