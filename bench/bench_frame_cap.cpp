// The frame rate at the cap in the whole program, on this machine.
//
// The program's own shell runs to its title menu in a 1280 x 800 window on an X server of
// the benchmark's own (Xvfb, through xvfb-run, with Mesa's OpenGL), capped at 100 and
// then at 60 frames per second, each cap in a fresh child copy of this program (see
// ChildProcess.h). After two seconds to settle, the window's buffer swaps are counted and
// timed for eight seconds at the title. Goal, for each cap: the mean rate within half a
// percent of the cap, and no second of frames faster than it.
//
// The mean rate is the slope of the swaps' times against their count (least squares):
// the time between the first and the last swap alone would carry those two frames' own
// work, and so read above or below the cap by chance. For the same reason a window of
// swaps cannot show a rate above the cap: a frame that worked long followed by one that
// worked briefly puts two swaps closer than a period, however well the frames are paced.
// So the windows are those of the frame starts the pacer booked for the frames swapped
// (what the program's frame counter shows); one swap that is no paced frame of its own
// (a frame presented twice, or presented without waiting) makes a window read above it.
#include <SDL.h>
#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchProgram.h"
#include "ChildProcess.h"
#include "engine/Qor.h"
#include "inputaudio/WMhooks.h"
#include "platform/Window.h"
#include "runtime/WindowShell.h"
#include "ui/Global.h"

namespace {
constexpr int kWidth = 1280, kHeight = 800;  // the window, pixels
constexpr double kSettleSeconds = 2.0;
constexpr double kMeasureSeconds = 8.0;
constexpr double kTolerance = 0.005;  // of the cap, either side of it
constexpr int kCaps[] = {100, 60};    // frames per second
constexpr unsigned kLongestChildSeconds = 120;

// One buffer swap: when it ended, and when the pacer booked the start of its frame.
struct Swap {
    double end = 0.0;     // s, on the steady clock
    double booked = 0.0;  // s, game time
};
std::vector<Swap>* swaps = nullptr;  // where the swaps are noted while they are measured
}  // namespace

// Every buffer swap of the program comes here: this definition takes the place of SDL's
// for the whole benchmark, hands on to SDL's own and notes the swap.
extern "C" void SDL_GL_SwapWindow(SDL_Window* window) {
    using SwapFunction = void (*)(SDL_Window*);
    static const auto sdlSwap = reinterpret_cast<SwapFunction>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
    if (sdlSwap) sdlSwap(window);
    if (swaps) swaps->push_back({bench::nowSeconds(), qor->timer.frameStart});
}

namespace {
// The slope of `y` against its index (least squares); 0 for fewer than two values.
double slope(const std::vector<double>& y) {
    const auto n = static_cast<double>(y.size());
    if (y.size() < 2) return 0.0;
    double sum = 0.0;
    for (const double v : y) sum += v;
    const double meanIndex = (n - 1.0) / 2.0, meanY = sum / n;
    double covariance = 0.0, variance = 0.0;
    for (std::size_t i = 0; i < y.size(); ++i) {
        const double di = static_cast<double>(i) - meanIndex;
        covariance += di * (y[i] - meanY);
        variance += di * di;
    }
    return covariance / variance;
}

// The highest rate over any second of `starts` (s, in order), each window measured
// from one start to the first that lies a second or more after it.
double fastestSecond(const std::vector<double>& starts) {
    double fastest = 0.0;
    for (std::size_t i = 0, j = 0; i < starts.size(); ++i) {
        while (j < starts.size() && starts[j] - starts[i] < 1.0) ++j;
        if (j == starts.size()) break;
        fastest = std::max(fastest, static_cast<double>(j - i) / (starts[j] - starts[i]));
    }
    return fastest;
}

// How many of the frames `booked` (their starts, s, in order) started afresh, more than
// `period` after the frame before: the pacer's own count of frames it could not keep on
// its pace (a frame a whole period late, or frames that overran one after another), as
// a machine too busy for the cap has them.
int startedAfresh(const std::vector<double>& booked, double period) {
    int afresh = 0;
    for (std::size_t i = 1; i < booked.size(); ++i)
        if (booked[i] - booked[i - 1] > period * (1.0 + 1e-6)) ++afresh;
    return afresh;
}

// The child: the program at the title, capped at `cap`; prints each swap's end and its
// frame's booked start, one swap a line. Returns the child's exit status.
int runCapped(int cap) {
    // A child that stops (a fatal error's message box, which nobody closes on the
    // benchmark's X server) ends, and the parent's wait with it.
    alarm(kLongestChildSeconds);
    Window window;
    if (!bench::startProgram(window, true, kWidth, kHeight)) return 1;
    global->configuration.maxFps = cap;
    global->applySettings(-1, -1);
    WMhooks hooks;
    std::vector<Swap> noted;
    noted.reserve(static_cast<std::size_t>(kMeasureSeconds * cap * 2.0));
    const double settled = bench::nowSeconds() + kSettleSeconds;
    while (bench::nowSeconds() < settled && bench::runOneFrame(window, hooks)) {
    }
    swaps = &noted;
    const double end = bench::nowSeconds() + kMeasureSeconds;
    while (bench::nowSeconds() < end && bench::runOneFrame(window, hooks)) {
    }
    swaps = nullptr;
    bench::stopProgram(window);
    for (const Swap& s : noted) std::printf("%.9f %.9f\n", s.end, s.booked);
    return 0;
}

// What a child printed: the swaps' ends and their frames' booked starts.
void readSwaps(const std::string& printed, std::vector<double>& ends, std::vector<double>& booked) {
    const char* p = printed.c_str();
    double end = 0.0, start = 0.0;
    int used = 0;
    while (std::sscanf(p, "%lf %lf%n", &end, &start, &used) == 2) {
        ends.push_back(end);
        booked.push_back(start);
        p += used;
    }
}

// The parent, on the X server: each cap in a child of its own, and the verdict.
int measure() {
    setenv("SDL_VIDEODRIVER", "x11", 1);
    char pattern[] = "/tmp/torvane-bench-XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    for (const int cap : kCaps) {
        const std::string mode = "cap" + std::to_string(cap);
        std::vector<double> ends, booked;
        readSwaps(bench::runChild("/proc/self/exe", mode.c_str(), pattern), ends, booked);
        const double period = slope(ends);
        if (ends.size() < 3 || period <= 0.0) {
            std::printf("frame cap %d: the program swapped no frames (no X server, or it never reached its title)\n",
                        cap);
            continue;
        }
        const double mean = 1.0 / period, fastest = fastestSecond(booked);
        const bool met = std::abs(mean / cap - 1.0) <= kTolerance && fastest <= cap * (1.0 + 1e-9);
        std::printf(
            "frame cap %d at the title, %d x %d: %zu swaps in %.0f s, mean %.2f fps (%+.2f%%), fastest second as "
            "paced %.2f fps, frames started afresh: %d; goal: mean within %.1f%% of the cap, no second above it: "
            "%s\n",
            cap, kWidth, kHeight, ends.size(), kMeasureSeconds, mean, (mean / cap - 1.0) * 100.0, fastest,
            startedAfresh(booked, 1.0 / cap), kTolerance * 100.0, met ? "met" : "NOT met");
    }
    std::filesystem::remove_all(pattern);
    return 0;
}

// This program again, under xvfb-run with a screen that holds the window, to measure.
int measureOnItsOwnXServer() {
    char self[PATH_MAX] = {};
    if (readlink("/proc/self/exe", self, sizeof self - 1) <= 0) return 1;
    execlp("xvfb-run", "xvfb-run", "-a", "-s", "-screen 0 1600x1024x24", self, "measure", static_cast<char*>(nullptr));
    std::printf("frame cap: not measured, xvfb-run is missing (%s)\n", std::strerror(errno));
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    int cap = 0;
    if (argc == 3 && std::sscanf(argv[1], "cap%d", &cap) == 1) return runCapped(cap);
    if (argc == 2 && std::strcmp(argv[1], "measure") == 0) return measure();
    return measureOnItsOwnXServer();
}
