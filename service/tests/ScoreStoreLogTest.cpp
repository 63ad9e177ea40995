#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

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

// A read transaction on its own connection: while it lasts, no copy of the log into the
// database can reach past its start, so the log cannot start over and only grows.
class HeldReader {
public:
    explicit HeldReader(const std::string& path) {
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) return;
        sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_prepare_v2(db_, "SELECT COUNT(*) FROM scores", -1, &read_, nullptr);
        held_ = sqlite3_step(read_) == SQLITE_ROW;
    }
    ~HeldReader() { release(); }
    HeldReader(const HeldReader&) = delete;
    HeldReader& operator=(const HeldReader&) = delete;

    bool held() const { return held_; }
    void release() {
        sqlite3_finalize(read_);
        read_ = nullptr;
        if (db_) sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db_);
        db_ = nullptr;
        held_ = false;
    }

private:
    sqlite3* db_ = nullptr;
    sqlite3_stmt* read_ = nullptr;
    bool held_ = false;
};

// The length of the log file beside `database` in bytes; 0 when there is none. The log
// starts over from its beginning but the file is never cut back while the store is
// open, so its length is the longest the log has been: one sampled while the writer
// goes on can only lag behind.
std::int64_t logFileBytes(const std::filesystem::path& database) {
    std::error_code ec;
    const std::uintmax_t bytes = std::filesystem::file_size(database.string() + "-wal", ec);
    return ec ? 0 : static_cast<std::int64_t>(bytes);
}

// The log after steady uploads from many threads: its file, and the store's account.
struct LogUnderLoad {
    std::int64_t fileBytes = 0;  // the longest the log file has been
    std::int64_t longest = 0;    // the longest the store has seen it, in bytes
    int restarts = 0;
};

// Steady uploads from many threads into a store at `database` until `uploads` are
// stored. With `holdUntil` above 0 a reader keeps the log from starting over until its
// file is that long, so that the store's own limit is what ends it, however fast the
// copies into the database are.
LogUnderLoad logUnderLoad(const std::filesystem::path& database, long uploads, std::int64_t holdUntil = 0) {
    std::atomic<long> stored = 0;
    SqliteScoreStore store(database.string());
    EXPECT_TRUE(store.ok()) << store.openError();
    if (!store.ok()) return {};
    HeldReader reader(database.string());
    if (holdUntil == 0) reader.release();
    EXPECT_EQ(reader.held(), holdUntil > 0);
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
    // The writer, past its limit, waits for the reader to leave before it starts the log
    // over (the log grows no further meanwhile); a reader that stayed past the uploads
    // would hold the log as it is.
    while ((stored < uploads || reader.held()) && !refused) {
        if (reader.held() && (logFileBytes(database) >= holdUntil || stored >= uploads)) reader.release();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    done = true;
    for (std::thread& w : writers) w.join();
    EXPECT_FALSE(refused);
    EXPECT_EQ(store.uploadCount(), stored);
    return {logFileBytes(database), store.longestLog(), store.logRestarts()};
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
    static constexpr std::int64_t kLongestLog = SqliteScoreStore::kRestartBytes + (std::int64_t{4} << 20);

    std::string folder;
    std::filesystem::path database;
};

// Under steady uploads the write-ahead log must be copied into the database again and
// again, not grow for as long as the load lasts. The load is a count of uploads, not a
// time, so that a slow build stores as many: unchecked, this many uploads grow the log to
// hundreds of megabytes.
TEST_F(ScoreStoreLogTest, theLogStaysShortUnderSteadyLoad) {
    const LogUnderLoad log = logUnderLoad(database, 4000);
    EXPECT_GT(log.fileBytes, 0);
    EXPECT_LT(log.fileBytes, kLongestLog);
    // The store's own account, which decides when the log starts over, is the file's.
    EXPECT_EQ(log.longest, log.fileBytes);
}

// The limits are bytes of log, whatever the size of the pages in it: a database made
// with pages sixteen times the usual size (whose log, counted in pages of the usual
// size, would reach half a gigabyte before it started over) keeps its log as short. A
// reader holds the log until it reaches the limit, so that the limit is what is tried.
TEST_F(ScoreStoreLogTest, aDatabaseWithLargePagesKeepsItsLogAsShort) {
    ASSERT_TRUE(makeDatabase(database.string(), 65536));
    const LogUnderLoad log = logUnderLoad(database, 4000, SqliteScoreStore::kRestartBytes);
    EXPECT_GE(log.fileBytes, SqliteScoreStore::kRestartBytes);
    EXPECT_LT(log.fileBytes, kLongestLog);
    EXPECT_EQ(log.longest, log.fileBytes);
    EXPECT_GE(log.restarts, 1);
}

}  // namespace
