#include "JobRunner.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <exception>
#include <thread>

#include "EffectRenderer.h"
#include "MusicRenderer.h"
#include "OggWriter.h"

JobRunner::Result JobRunner::runOne(const RenderJob& job, const std::filesystem::path& outFolder) {
    const auto begin = std::chrono::steady_clock::now();
    Result result{job.output(), {}, 0.0};
    try {
        const std::string path = (outFolder / job.output()).string();
        if (job.isMusic()) {
            const auto samples = MusicRenderer::render(std::get<Score>(job.source));
            result.error = OggWriter::write(path, job.output(), samples, 2, 44100, 0.4f);
        } else {
            const auto samples = EffectRenderer::render(std::get<SoundRecipe>(job.source));
            result.error = OggWriter::write(path, job.output(), samples, 1, 44100, 0.5f);
        }
    } catch (const std::exception& e) {
        result.error = e.what();
    }
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    return result;
}

std::vector<JobRunner::Result> JobRunner::run(std::vector<RenderJob> jobs, const std::filesystem::path& outFolder,
                                              unsigned threads) {
    // Music first: the longest jobs should not start last.
    std::stable_partition(jobs.begin(), jobs.end(), [](const RenderJob& j) { return j.isMusic(); });
    std::vector<Result> results(jobs.size());
    std::atomic<std::size_t> nextJob{0};
    auto worker = [&] {
        for (std::size_t i; (i = nextJob.fetch_add(1)) < jobs.size();) results[i] = runOne(jobs[i], outFolder);
    };
    std::vector<std::thread> pool;
    for (unsigned t = 0; t < std::max(1u, threads); ++t) pool.emplace_back(worker);
    for (auto& t : pool) t.join();
    return results;
}
