// sfxsynth: renders the game's sound effects and music from the recipes and
// scores in a source folder into Ogg Vorbis files below an output folder.
//
//   sfxsynth SOURCE-FOLDER OUTPUT-FOLDER [--jobs N] [--only TEXT] [--quiet]
//
// Exit status 0 when every file was written, 1 on any error (each is printed
// with the file and line it comes from), 2 on a usage error.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <thread>

#include "JobRunner.h"
#include "ParseError.h"
#include "SoundCatalog.h"

namespace {
struct Options {
    std::string source, output, only;
    unsigned jobs = std::max(1u, std::thread::hardware_concurrency());
    bool quiet = false;
};

bool parseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--jobs" && i + 1 < argc)
            o.jobs = static_cast<unsigned>(std::max(1, std::atoi(argv[++i])));
        else if (a == "--only" && i + 1 < argc)
            o.only = argv[++i];
        else if (a == "--quiet")
            o.quiet = true;
        else if (o.source.empty())
            o.source = a;
        else if (o.output.empty())
            o.output = a;
        else
            return false;
    }
    return !o.output.empty();
}
}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: sfxsynth SOURCE-FOLDER OUTPUT-FOLDER [--jobs N] [--only TEXT] [--quiet]\n");
        return 2;
    }
    const auto begin = std::chrono::steady_clock::now();
    std::vector<RenderJob> jobs;
    try {
        jobs = SoundCatalog::load(options.source);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "sfxsynth: %s\n", e.what());
        return 1;
    }
    if (!options.only.empty())
        std::erase_if(jobs, [&](const RenderJob& j) { return j.output().find(options.only) == std::string::npos; });
    const auto results = JobRunner::run(std::move(jobs), options.output, options.jobs);
    int failures = 0;
    for (const auto& r : results) {
        if (!r.error.empty()) {
            std::fprintf(stderr, "sfxsynth: %s: %s\n", r.output.c_str(), r.error.c_str());
            ++failures;
        } else if (!options.quiet) {
            std::printf("%6.2f s  %s\n", r.seconds, r.output.c_str());
        }
    }
    const double total = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    std::printf("sfxsynth: %zu file(s), %d error(s), %.2f s on %u thread(s)\n", results.size(), failures, total,
                options.jobs);
    return failures == 0 ? 0 : 1;
}
