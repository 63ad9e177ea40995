// The Invasion in the whole program, on this machine: two players, full detail.
//
// Three child processes, each a fresh copy of this program (see ChildProcess.h):
//  - "draw": the program runs to its title menu (loading the real data), then for each of
//    the waves 1 to 10 and for wave 50 an Invasion is brought to the start of that wave
//    and stepped at 60 Hz (Very Easy, nobody shoots, at most 30 s of game time), its
//    frame drawn every quarter second to count the vertices the engine sends to OpenGL.
//    The busiest moment of the busiest of the first ten waves, and that of wave 50, are
//    played again to the same frame (the game is deterministic from its seed) and that
//    frame is drawn over and over, headless: through the engine (scene, device, back
//    buffer) and as the same triangles and copies sent straight to OpenGL from a second
//    context (DirectReplay), taking turns in short batches. Goal: at most 1.3 times.
//  - "wave": the program's own shell (with its own settings: pictures decoded on first
//    use) running the busy middle of wave 50 of an Invasion at 60 frames per second for
//    a few seconds of wall time: its CPU time per wall second and its peak memory
//    (goals, against the bare window measured in the same run: at most twice its CPU, at
//    most 30 MiB above its peak memory);
//  - "bare": the bare window of ChildProcess.h, the yardstick.
// All on SDL's offscreen driver (the same OpenGL, without a window manager).
#include <SDL.h>
#include <epoxy/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchEngine.h"
#include "BenchProgram.h"
#include "ChildProcess.h"
#include "DirectReplay.h"
#include "GameStep.h"
#include "engine/Qor.h"
#include "engine/Random.h"
#include "game/GameController.h"
#include "game/GameControllerCampaign.h"
#include "game/GameGlobal.h"
#include "game/GameLauncher.h"
#include "platform/GraphicsDevice.h"
#include "platform/Window.h"
#include "render/QorGraphics.h"
#include "runtime/WindowShell.h"
#include "ui/ContextBlender.h"
#include "ui/ContextManager.h"

namespace {
constexpr double kFrame = 1.0 / 60.0;     // s
constexpr int kLongestWaveFrames = 1800;  // 30 s of game time
constexpr int kSampleEvery = 15;          // frames between vertex counts
constexpr double kWaveSeconds = 10.0;     // wall s measured in the running program
constexpr double kBusyFrom = 16.0;        // s into wave 50 where the measuring starts
constexpr double kFastForward = 4.0;      // the world's speed until then
constexpr std::uint32_t kSeed = 1234;

// Two players, full detail, Very Easy (the palms last the wave), no tips, no mutators.
void configureInvasion() {
    GameConfiguration& c = global->configuration;
    c.detail = 1;
    c.difficulty = 0;
    c.invasionPlayers = 1;
    c.bInGameHelp = 0;
    for (std::uint8_t& m : c.mutators) m = 0;
}

// ---- the drawing ratio ----

class WaveDrawing {
public:
    struct Moment {
        int wave = 0;
        int frame = -1;  // of the wave's play
        int enemies = 0;
        std::size_t vertices = 0;
    };

    // A fresh Invasion at the start of `wave`, the previous one gone.
    void startAtWave(int wave) {
        end();
        Random::seed(kSeed);
        configureInvasion();
        game = static_cast<GameControllerCampaign*>(GameLauncher::launch(u"GameControllerCampaign", nullptr));
        game->wave = wave - 1;
        while (game->state != GameControllerCampaign::kPlaying) step();
    }
    void end() { bench::endGame(game); }
    void step() { bench::stepFrame(*game); }
    // Draws the game's frame as it stands, and waits until it is drawn.
    void draw() { bench::drawEngineFrame(*game); }
    std::vector<GraphicsDevice::SentBatch> recordDraw() {
        return bench::recordBatches([&] { draw(); });
    }
    // Plays `wave` (to frame `stopAt`, or its end), drawing every kSampleEvery frames:
    // the busiest frame drawn.
    Moment play(int wave, int stopAt = kLongestWaveFrames) {
        startAtWave(wave);
        Moment busiest{wave};
        for (int f = 0; f < stopAt && game->state == GameControllerCampaign::kPlaying; ++f) {
            step();
            if (f % kSampleEvery != 0 && f != stopAt - 1) continue;
            std::size_t vertices = 0;
            for (const auto& b : recordDraw()) vertices += b.vertices.size();
            if (vertices > busiest.vertices)
                busiest = {wave, f, game->layer(GameController::kEnemyList)->countChildren(), vertices};
        }
        return busiest;
    }

    GameControllerCampaign* game = nullptr;
};

// The engine's drawing of one frame against its replay, batch by batch: the medians.
void compare(WaveDrawing& world, const WaveDrawing::Moment& moment, const char* label, SDL_Window* window,
             SDL_GLContext engineContext, SDL_GLContext directContext) {
    world.play(moment.wave, moment.frame + 1);  // the same frame again
    bench::DirectReplay direct;
    direct.record(world.recordDraw());
    const bench::RaceMedians m =
        bench::raceReplay(direct, window, engineContext, directContext, 30, [&] { world.draw(); });
    std::printf(
        "%-21s wave %2d at %5.1f s, %3d enemies: engine %.3f ms (%d batches), the same %zu vertices straight to "
        "OpenGL %.3f ms (%zu draw calls); ratio %.2f (goal <= 1.30)\n",
        label, moment.wave, moment.frame * kFrame, moment.enemies, m.engine * 1000.0, direct.engineCalls,
        direct.vertexCount(), m.direct * 1000.0, direct.drawCalls(), m.ratio);
}

int runDraw() {
    Window window;
    if (!bench::startProgram(window)) {
        std::fprintf(stderr, "bench_invasion_program: the program did not reach its title menu (%s)\n", SDL_GetError());
        return 1;
    }
    SDL_Window* handle = window.handle();
    SDL_GLContext engineContext = SDL_GL_GetCurrentContext();
    SDL_GLContext directContext = bench::openReplayContext(handle);
    if (!directContext) {
        std::fprintf(stderr, "bench_invasion_program: no second OpenGL context (%s)\n", SDL_GetError());
        return 1;
    }
    {
        WaveDrawing world;
        WaveDrawing::Moment busiest;
        for (int wave = 1; wave <= 10; ++wave) {
            const WaveDrawing::Moment m = world.play(wave);
            if (m.vertices > busiest.vertices) busiest = m;
        }
        const WaveDrawing::Moment last = world.play(GameControllerCampaign::kWaveCount);
        compare(world, busiest, "busiest of waves 1-10", handle, engineContext, directContext);
        compare(world, last, "last wave", handle, engineContext, directContext);
        world.end();
    }
    std::printf("renderer: %s\n", qor->graphics().dxDevice->rendererName());
    SDL_GL_DeleteContext(directContext);
    SDL_GL_MakeCurrent(handle, engineContext);
    bench::stopProgram(window);
    return 0;
}

// ---- the running program ----

// The program's shell runs wave 50 at 60 frames per second from kBusyFrom s into the
// wave: CPU share and peak memory. Pictures are decoded on first use, as the program's
// own settings have it.
int runWave() {
    Window window;
    if (!bench::startProgram(window, false)) return 1;
    configureInvasion();
    global->configuration.maxFps = 60;
    global->applySettings(-1, -1);
    auto* game = static_cast<GameControllerCampaign*>(GameLauncher::launch(u"GameControllerCampaign", nullptr));
    if (!game) return 1;
    game->wave = GameControllerCampaign::kWaveCount - 1;
    // What comes before is not measured: the controller's own clock hurries through the
    // lead-in ("Get Ready!", the wave's announcement), then the world through the wave's
    // quiet start.
    game->timeScale = 20.0;
    while (game->state != GameControllerCampaign::kPlaying && WindowShell::tick(window)) {
    }
    game->timeScale = 1.0;
    game->speed = kFastForward;
    const double waveStart = game->pScene->localTime;
    while (game->pScene->localTime - waveStart < kBusyFrom && WindowShell::tick(window)) {
    }
    game->speed = 1.0;
    for (int i = 0; i < 30; ++i) WindowShell::tick(window);  // settle
    int enemies = 0;
    const double cpu0 = bench::cpuSeconds(), wall0 = bench::nowSeconds();
    while (bench::nowSeconds() - wall0 < kWaveSeconds && WindowShell::tick(window))
        enemies = std::max(enemies, game->layer(GameController::kEnemyList)->countChildren());
    const double cpu = (bench::cpuSeconds() - cpu0) / (bench::nowSeconds() - wall0);
    std::printf("%.6f %.3f %d %d\n", cpu, bench::peakMiB(), enemies, game->state);
    bench::stopProgram(window);
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    if (argc == 3 && std::strcmp(argv[1], "bare") == 0) return bench::runBareWindow(std::atof(argv[2]), kWaveSeconds);
    if (argc == 3 && std::strcmp(argv[1], "wave") == 0) return runWave();
    if (argc == 3 && std::strcmp(argv[1], "draw") == 0) return runDraw();
    char pattern[] = "/tmp/torvane-bench-XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    const char* self = "/proc/self/exe";
    std::printf("%s", bench::runChild(self, "draw", pattern).c_str());
    const std::string bare = bench::runChild(self, "bare", pattern);
    const std::string wave = bench::runChild(self, "wave", pattern);
    std::filesystem::remove_all(pattern);
    bench::BareWindow b;
    double waveCpu = 0, peak = 0;
    int enemies = 0, state = 0;
    if (!b.read(bare) || std::sscanf(wave.c_str(), "%lf %lf %d %d", &waveCpu, &peak, &enemies, &state) != 4) {
        std::fprintf(stderr, "bench_invasion_program: a child failed (bare: '%s', wave: '%s')\n", bare.c_str(),
                     wave.c_str());
        return 0;
    }
    std::printf(
        "wave 50 at 60 fps in the program: %.1f%% CPU (up to %d enemies%s), bare window %.1f%% CPU: ratio %.2f "
        "(goal <= 2.00)\n",
        waveCpu * 100.0, enemies, state == GameControllerCampaign::kPlaying ? "" : ", the wave ended on the way",
        b.cpu * 100.0, bench::ratio(waveCpu, b.cpu));
    std::printf("peak memory: program %.1f MiB, bare window %.1f MiB (bare + %.1f MiB, goal <= bare + 30 MiB)\n", peak,
                b.peak, peak - b.peak);
    return 0;
}
