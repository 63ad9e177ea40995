// Start-up and idle cost of the game against a bare window, on this machine.
//
// Three child processes, each a fresh copy of this program:
//  - "game": the program's own shell (engine and application object, built by the idle
//    tick) on an 800 x 480 window with its data folder in a temporary folder; it reports
//    the launch-to-loaded time, the log's own "Global initialization complete at t=..."
//    figure, then skips the logo screen, lets the intro play by itself at 60 frames per
//    second from its first second to its end, reporting the CPU time it takes, names a
//    player when asked (as a first start does) and idles on the title screen at 60 frames
//    per second, reporting the CPU time it takes and its peak memory;
//  - "bare": an SDL window with an OpenGL 3.3 core context; it reports the time to its
//    first presented frame, then draws one full-screen texture at 60 frames per second
//    for the same time and reports its CPU time and peak memory.
// The goals are weighed against the bare window measured in the same run: the CPU at most
// 1.3 times its own at the title and 1.5 times during the intro, the peak memory at most
// 20 MiB above its own (much of both peaks is the system's OpenGL).
// Each child is given the parent's clock at launch, so times are from launch. Both run on
// SDL's offscreen driver (the same OpenGL, without a window manager to give the focus).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "ChildProcess.h"
#include "engine/Qor.h"
#include "engine/Strings.h"
#include "engine/SystemHelpers.h"
#include "game/GameControllerIntro.h"
#include "game/GameGlobal.h"
#include "platform/Window.h"
#include "runtime/WindowShell.h"
#include "ui/ContextEnterName.h"
#include "ui/ContextMainGame.h"
#include "ui/ContextManager.h"
#include "ui/Loader.h"

namespace {
using bench::cpuSeconds;
using bench::nowSeconds;
constexpr double kIdleSeconds = 5.0;

// The log's "Global initialization complete at t=%.3lf sec." figure, or -1.
double loggedInitTime() {
    std::ifstream log(wideToUtf8(getDataFolder()) + "Torvane2Xmas.log");
    const std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    const std::string key = "Global initialization complete at t=";
    const auto at = text.rfind(key);
    return at == std::string::npos ? -1.0 : std::atof(text.c_str() + at + key.size());
}

// The intro on top, playing by itself at 60 frames per second once its screen has faded
// in, to its own end: its CPU time per second of wall time, or -1 when it never came.
double introCpu(Window& window) {
    auto intro = [] { return dynamic_cast<GameControllerIntro*>(global->pContextManager->top()); };
    if (!intro()) return -1.0;
    global->configuration.maxFps = 60;
    global->applySettings(-1, -1);
    while (intro() && intro()->localTime < 1.0) WindowShell::tick(window);
    const double cpu0 = cpuSeconds(), wall0 = nowSeconds();
    while (intro() && WindowShell::tick(window)) {
    }
    return (cpuSeconds() - cpu0) / (nowSeconds() - wall0);
}

int runGame(double launched) {
    std::filesystem::create_directories(wideToUtf8(getDataFolder()));
    std::ofstream(wideToUtf8(getDataFolder()) + "Torvane2Xmas.cfg")
        << "[QorGraphics]\nbFullScreen=No\nvideoModeWidth=800\nvideoModeHeight=480\nbUseVSync=No\n"
           "[Qor]\ndefaultLanguage=0\n";
    Window::initVideo();
    Window window;
    if (!window.create("Torvane 2", 50, 50, bench::kWindowWidth, bench::kWindowHeight)) return 1;
    WindowShell::setApplicationFactory(&GameGlobal::start);
    double loaded = -1.0, intro = -1.0;
    for (int i = 0; i < 100000 && WindowShell::tick(window); ++i) {
        if (!global) continue;  // the shell waits for the window to have the focus
        ContextManager* stack = global->pContextManager;
        if (loaded < 0.0 && !dynamic_cast<Loader*>(stack->top())) loaded = nowSeconds() - launched;
        if (dynamic_cast<ContextMainGame*>(stack->top())) break;
        if (intro < 0.0 && dynamic_cast<GameControllerIntro*>(stack->top())) intro = introCpu(window);
        // A first start asks for the player's name; the title then greets a known player.
        if (dynamic_cast<ContextEnterName*>(stack->top())) global->profiles.createProfile(u"Bench");
        if (loaded >= 0.0) stack->top()->bFinished = 1;  // the logo screen, the name entry
    }
    global->configuration.maxFps = 60;
    global->applySettings(-1, -1);
    for (int i = 0; i < 30; ++i) WindowShell::tick(window);  // settle
    const double cpu0 = cpuSeconds(), wall0 = nowSeconds();
    while (nowSeconds() - wall0 < kIdleSeconds) WindowShell::tick(window);
    const double cpu = (cpuSeconds() - cpu0) / (nowSeconds() - wall0);
    const double logged = loggedInitTime();
    WindowShell::onClose();
    window.destroy();
    std::printf("%.6f %.6f %.6f %.3f %.6f\n", loaded, logged, cpu, bench::peakMiB(), intro);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    if (argc == 3 && std::strcmp(argv[1], "game") == 0) return runGame(std::atof(argv[2]));
    if (argc == 3 && std::strcmp(argv[1], "bare") == 0) return bench::runBareWindow(std::atof(argv[2]), kIdleSeconds);
    char pattern[] = "/tmp/torvane-bench-XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    const char* self = "/proc/self/exe";
    const std::string bare = bench::runChild(self, "bare", pattern);
    const std::string game = bench::runChild(self, "game", pattern);
    std::filesystem::remove_all(pattern);
    bench::BareWindow b;
    double loaded = 0, logged = 0, gameCpu = 0, peak = 0, introCpu = 0;
    if (!b.read(bare) ||
        std::sscanf(game.c_str(), "%lf %lf %lf %lf %lf", &loaded, &logged, &gameCpu, &peak, &introCpu) != 5) {
        std::fprintf(stderr, "bench_startup: a child failed (bare: '%s', game: '%s')\n", bare.c_str(), game.c_str());
        return 0;
    }
    std::printf("start-up: loading finished %.0f ms after launch (log: t=%.3f s); bare window first frame %.0f ms\n",
                loaded * 1000.0, logged, b.firstFrame * 1000.0);
    std::printf(
        "idle at 60 fps: title screen %.1f%% CPU, bare window with one full-screen texture %.1f%% CPU "
        "(ratio %.2f, goal <= 1.30)\n",
        gameCpu * 100.0, b.cpu * 100.0, bench::ratio(gameCpu, b.cpu));
    std::printf("idle at 60 fps: intro scene %.1f%% CPU, bare window %.1f%% CPU (ratio %.2f, goal <= 1.50)\n",
                introCpu * 100.0, b.cpu * 100.0, bench::ratio(introCpu, b.cpu));
    std::printf("peak memory: game %.1f MiB, bare window %.1f MiB (bare + %.1f MiB, goal <= bare + 20 MiB)\n", peak,
                b.peak, peak - b.peak);
    std::printf("targets: loading <= 300 ms\n");
    return 0;
}
