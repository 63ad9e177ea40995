#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "SqliteScoreStore.h"
#include "support/ScoreRecordBuilder.h"

namespace {

// A database made before the store opens it, with pages of `pageSize` bytes, which it
// keeps for its life.
bool makeDatabase(const std::string& path, int pageSize) {
    sqlite3* db = nullptr;
    const std::string pragmas = "PRAGMA page_size=" + std::to_string(pageSize) + "; PRAGMA journal_mode=WAL;";
    const bool made = sqlite3_open(path.c_str(), &db) == SQLITE_OK &&
                      sqlite3_exec(db, pragmas.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return made;
}

// Steady uploads from many threads into a store at `database`: the longest the
// write-ahead log file grew (bytes) while `uploads` were stored.
std::uintmax_t longestLogUnderLoad(const std::filesystem::path& database, long uploads) {
    const std::filesystem::path log = database.string() + "-wal";
    std::uintmax_t longest = 0;
    std::atomic<long> stored = 0;
    SqliteScoreStore store(database.string());
    EXPECT_TRUE(store.ok()) << store.openError();
    if (!store.ok()) return 0;
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
                ASSERT_TRUE(upload.parse({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, error));
                if (store.store(upload, {"LINUX", "2.79", 1700000000}, error) >= 0)
                    ++stored;
                else
                    refused = true;
            }
        });
    }
    while (stored < uploads && !refused) {
        std::error_code ec;
        longest = std::max(longest, std::filesystem::file_size(log, ec) * !ec);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    done = true;
    for (std::thread& w : writers) w.join();
    EXPECT_FALSE(refused);
    EXPECT_EQ(store.uploadCount(), stored);
    return longest;
}

class ScoreStoreLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = (std::filesystem::temp_directory_path() / "torvane-log-XXXXXX").string();
        ASSERT_NE(::mkdtemp(folder.data()), nullptr);
        database = folder + "/scores.sqlite3";
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    // The log starts over once it passes its limit, so it never grows by more than the
    // batch that passed it: far less than this.
    static constexpr std::uintmax_t kLongestLog = SqliteScoreStore::kRestartBytes + (std::uintmax_t{4} << 20);

    std::string folder;
    std::filesystem::path database;
};

// Under steady uploads the write-ahead log must be copied into the database again and
// again, not grow for as long as the load lasts. The load is a count of uploads, not a
// time, so that a slow build stores as many: unchecked, this many uploads grow the log to
// hundreds of megabytes.
TEST_F(ScoreStoreLogTest, theLogStaysShortUnderSteadyLoad) {
    const std::uintmax_t longest = longestLogUnderLoad(database, 4000);
    EXPECT_GT(longest, 0u);
    EXPECT_LT(longest, kLongestLog);
}

// The limits are bytes of log, whatever the size of the pages in it: a database made
// with pages sixteen times the usual size (whose log, counted in pages of the usual
// size, would reach half a gigabyte before it started over) keeps its log as short.
TEST_F(ScoreStoreLogTest, aDatabaseWithLargePagesKeepsItsLogAsShort) {
    ASSERT_TRUE(makeDatabase(database.string(), 65536));
    const std::uintmax_t longest = longestLogUnderLoad(database, 1500);
    EXPECT_GT(longest, std::uintmax_t{SqliteScoreStore::kRestartBytes});  // it did start over
    EXPECT_LT(longest, kLongestLog);
}

}  // namespace
