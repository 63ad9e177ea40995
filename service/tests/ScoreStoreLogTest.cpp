#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "SqliteScoreStore.h"
#include "support/ScoreRecordBuilder.h"

namespace {

// Under steady uploads from many threads the write-ahead log must be copied into the
// database again and again, not grow for as long as the load lasts. The load is a count
// of uploads, not a time, so that a slow build stores as many: unchecked, this many
// uploads grow the log to hundreds of megabytes.
TEST(ScoreStoreLogTest, theLogStaysShortUnderSteadyLoad) {
    std::string folder = (std::filesystem::temp_directory_path() / "torvane-log-XXXXXX").string();
    ASSERT_NE(::mkdtemp(folder.data()), nullptr);
    const std::filesystem::path database = folder + "/scores.sqlite3";
    const std::filesystem::path log = folder + "/scores.sqlite3-wal";
    std::uintmax_t longest = 0;
    std::atomic<long> stored = 0;
    {
        SqliteScoreStore store(database.string());
        ASSERT_TRUE(store.ok()) << store.openError();
        std::atomic<bool> done = false, refused = false;
        std::vector<std::thread> writers;
        for (int w = 0; w < 16; ++w) {
            writers.emplace_back([&, w] {
                for (std::int64_t round = 0; !done; ++round) {
                    ScoreRecordBuilder record(static_cast<std::uint32_t>(w + 1));
                    for (int table = 0; table < 5; ++table)
                        record.entry(table, 0, "Writer", static_cast<std::int32_t>(round), 1700000000 + round);
                    const std::string bytes = record.bytes();
                    ScoreUpload upload;
                    std::string error;
                    ASSERT_TRUE(
                        upload.parse({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, error));
                    if (store.store(upload, {"LINUX", "2.79", 1700000000}, error) >= 0)
                        ++stored;
                    else
                        refused = true;
                }
            });
        }
        constexpr long kUploads = 4000;
        while (stored < kUploads && !refused) {
            std::error_code ec;
            longest = std::max(longest, std::filesystem::file_size(log, ec) * !ec);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        done = true;
        for (std::thread& w : writers) w.join();
        EXPECT_FALSE(refused);
        EXPECT_EQ(store.uploadCount(), stored);
    }
    std::filesystem::remove_all(folder);
    EXPECT_GT(longest, 0u);
    EXPECT_LT(longest, 64u << 20) << stored << " uploads";
}

}  // namespace
