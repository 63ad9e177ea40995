// Unattended Duel wars, one after another, headless: the computer on both sides, five
// days each, to the end of the war (the ratings), then a fresh war with the next seed.
// Runs for the number of seconds given as the argument (default 10) and prints the wars
// run and the peak resident memory after the first war and at the end: the goal is an
// end within 5 % of the first, so that nothing piles up from war to war.
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

#include "DuelBenchWorld.h"

namespace {
constexpr double kDefaultSeconds = 10.0;
constexpr double kLongestWar = 3600.0;  // s of game time before a war counts as stuck

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double wallSeconds() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// One war to its end; false when it did not end within kLongestWar.
bool runWar(duelbench::DuelBenchWorld& world, std::uint32_t seed) {
    GameControllerDuel& game = world.startWar(seed);
    for (double t = 0.0; t < kLongestWar; t += duelbench::kFrame) {
        world.step();
        if (game.bFinished) return true;
    }
    return false;
}
}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : kDefaultSeconds;
    int wars = 0;
    int stuck = 0;
    long firstPeak = 0;
    {
        duelbench::DuelBenchWorld world;
        const double start = wallSeconds();
        do {
            if (!runWar(world, 1234u + static_cast<std::uint32_t>(wars))) ++stuck;
            if (++wars == 1) firstPeak = peakKilobytes();
        } while (wallSeconds() - start < seconds);
    }
    const long endPeak = peakKilobytes();
    std::printf(
        "Duel soak: %d wars (%d did not end), peak memory %ld KiB after the first war, %ld KiB at the end "
        "(%+.1f %%; goal within 5 %%)\n",
        wars, stuck, firstPeak, endPeak,
        firstPeak > 0 ? 100.0 * static_cast<double>(endPeak - firstPeak) / static_cast<double>(firstPeak) : 0.0);
    return stuck == 0 ? 0 : 1;
}
