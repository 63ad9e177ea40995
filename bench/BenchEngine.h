#pragma once
// What the drawing benchmarks share: the engine in a data folder of its own under /tmp
// and an 800 x 480 window (made that size from the start: some drivers never resize a
// window's surface), with the swap interval off so that drawing is measured, not the
// display's retrace; and the timing helpers.
#include <SDL.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "engine/Qor.h"
#include "engine/Strings.h"
#include "engine/SystemHelpers.h"
#include "platform/Window.h"

// The data folder, or empty when no window could be made.
inline std::string startBenchEngine(Window& window) {
    char pattern[] = "/tmp/torvane-bench-XXXXXX";
    if (!mkdtemp(pattern)) return {};
    setenv("XDG_DATA_HOME", pattern, 1);
    std::ofstream(wideToUtf8(getDataFolder()) + wideToUtf8(kBuildName) + ".cfg")
        << "[QorGraphics]\nbFullScreen=No\nvideoModeWidth=800\nvideoModeHeight=480\n";
    if (!Window::initVideo() || !window.create("Torvane 2 bench", 50, 50, 800, 480)) return {};
    new Qor(nullptr, &window);
    SDL_GL_SetSwapInterval(0);
    return pattern;
}

inline double secondsSince(std::chrono::steady_clock::time_point from) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

// The middle value (the upper one of an even count); 0 for none.
inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}
