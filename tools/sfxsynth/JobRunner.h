#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "RenderJob.h"

// JobRunner: renders and encodes jobs on several threads. Each worker takes
// the next job by an atomic index, so long pieces of music (queued first)
// overlap with many short effects. Output does not depend on the number of
// threads.
class JobRunner {
public:
    struct Result {
        std::string output;
        std::string error;     // empty on success
        double seconds = 0.0;  // wall time of this job
    };

    static std::vector<Result> run(std::vector<RenderJob> jobs, const std::filesystem::path& outFolder,
                                   unsigned threads);

private:
    static Result runOne(const RenderJob& job, const std::filesystem::path& outFolder);
};
