#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "JobRunner.h"
#include "RecipeParser.h"
#include "ScoreParser.h"

namespace {

std::string bytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<RenderJob> jobs() {
    std::vector<RenderJob> list;
    for (int i = 0; i < 5; ++i)
        list.push_back(
            {RecipeParser::parse("t.sfx", "output fx/s" + std::to_string(i) + ".ogg\nlength 0.2\nseed " +
                                              std::to_string(i) + "\nlayer\n  wave pink\n  env attack=0 decay=0.1\n")});
    list.push_back({ScoreParser::parse("t.score",
                                       "output music/m.ogg\ntempo 240\ninstrument k\n  layer\n    wave sine\nend\n"
                                       "pattern p k\n  notes c4 e4 g4 c5\nend\nsong\n  1 p\nend\n")});
    return list;
}

TEST(JobRunnerTest, OutputDoesNotDependOnTheNumberOfThreads) {
    const auto base = std::filesystem::temp_directory_path() /
                      ("sfxsynth-jobs-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::remove_all(base);
    for (const auto& r : JobRunner::run(jobs(), base / "one", 1)) EXPECT_EQ(r.error, "") << r.output;
    for (const auto& r : JobRunner::run(jobs(), base / "many", 4)) EXPECT_EQ(r.error, "") << r.output;
    for (const char* name : {"fx/s0.ogg", "fx/s4.ogg", "music/m.ogg"}) {
        const std::string one = bytes(base / "one" / name);
        EXPECT_FALSE(one.empty()) << name;
        EXPECT_EQ(one, bytes(base / "many" / name)) << name;
    }
    std::filesystem::remove_all(base);
}

TEST(JobRunnerTest, AFailingJobIsReportedAndTheOthersStillRun) {
    const auto base = std::filesystem::temp_directory_path() /
                      ("sfxsynth-fail-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::remove_all(base);
    std::filesystem::create_directories(base);
    std::ofstream(base / "fx") << "a file where a folder should be";
    const auto results = JobRunner::run(jobs(), base, 3);
    int failed = 0;
    for (const auto& r : results) failed += !r.error.empty();
    EXPECT_EQ(failed, 5);
    EXPECT_TRUE(std::filesystem::exists(base / "music" / "m.ogg"));
    std::filesystem::remove_all(base);
}

}  // namespace
