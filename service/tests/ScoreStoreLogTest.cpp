#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <future>
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

// Stores an upload of `installation` with an entry in each table, scored `round`, so
// that each round adds entries; false when the store refuses it.
bool storeRound(SqliteScoreStore& store, std::uint32_t installation, std::int64_t round) {
    ScoreRecordBuilder record(installation);
    for (int table = 0; table < 5; ++table)
        record.entry(table, 0, "Writer", static_cast<std::int32_t>(round), 1700000000 + round);
    const std::string bytes = record.bytes();
    ScoreUpload upload;
    std::string error;
    EXPECT_TRUE(upload.parse({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, error)) << error;
    return store.store(upload, {"LINUX", "2.79", 1700000000}, error) >= 0;
}

// The log after steady uploads from many threads: its file, and the store's account.
struct LogUnderLoad {
    std::int64_t fileBytes = 0;  // the longest the log file has been
    std::int64_t longest = 0;    // the longest the store has seen it, in bytes
    int restartTries = 0;
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
    // The writers wait at the length held for until the reader has gone, so that the
    // log grows no further however long the test takes to let it go.
    std::atomic<bool> reading = reader.held(), done = false, refused = false;
    std::vector<std::thread> writers;
    for (int w = 0; w < 16; ++w) {
        writers.emplace_back([&, w] {
            for (std::int64_t round = 0; !done; ++round) {
                if (reading && logFileBytes(database) >= holdUntil)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                else if (storeRound(store, static_cast<std::uint32_t>(w + 1), round))
                    ++stored;
                else
                    refused = true;
            }
        });
    }
    while ((stored < uploads || reading) && !refused) {
        if (reading && (logFileBytes(database) >= holdUntil || stored >= uploads)) {
            reader.release();
            reading = false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    done = true;
    for (std::thread& w : writers) w.join();
    EXPECT_FALSE(refused);
    EXPECT_EQ(store.uploadCount(), stored);
    return {logFileBytes(database), store.longestLog(), store.logRestartTries()};
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
    // The reader refused the first try; the next comes a step later.
    EXPECT_LT(log.fileBytes, kLongestLog + SqliteScoreStore::kRestartRetryBytes);
    EXPECT_EQ(log.longest, log.fileBytes);
    EXPECT_GE(log.restartTries, 1);
}

// Another process reads the database for long (a backup, an administrator's session):
// the log cannot start over meanwhile, and uploads must go on beside the reader, not
// wait for it each time the log is past its limit. The store would wait an hour for a
// lock, so that only one that waits for the reader is held up; once the uploads have had
// far longer than they need, the test ends the store's waits to see them through. Once
// the reader has gone, the log starts over within a step.
TEST_F(ScoreStoreLogTest, aLongReadOfAnotherProcessHoldsNoUploadAndTheLogStartsOverOnceItEnds) {
    constexpr std::int64_t kStep = SqliteScoreStore::kRestartRetryBytes;
    SqliteScoreStore store(database.string(), std::chrono::hours(1));
    ASSERT_TRUE(store.ok()) << store.openError();
    HeldReader reader(database.string());
    ASSERT_TRUE(reader.held());
    struct Outcome {
        int refused = 0;
        int triesWhileRead = 0;
        std::int64_t atRelease = 0;  // the log file's length when the reader went
    };
    auto uploads = std::async(std::launch::async, [&] {
        Outcome outcome;
        long round = 0;
        const auto upload = [&] {
            outcome.refused += !storeRound(store, static_cast<std::uint32_t>(round % 50 + 1), round);
            ++round;
        };
        while (logFileBytes(database) < SqliteScoreStore::kRestartBytes + 2 * kStep) upload();
        outcome.triesWhileRead = store.logRestartTries();
        reader.release();
        outcome.atRelease = logFileBytes(database);
        // As many again would grow a log that never started over by as much again.
        const long whileRead = round;
        while (round < 2 * whileRead) upload();
        return outcome;
    });
    if (uploads.wait_for(std::chrono::minutes(1)) != std::future_status::ready) {
        ADD_FAILURE() << "the uploads waited for the reader";
        store.endWaitsBy(SqliteScoreStore::Clock::now());
    }
    const Outcome outcome = uploads.get();
    EXPECT_EQ(outcome.refused, 0);
    // Tried at the limit and a step later at least, each refused by the reader at once.
    EXPECT_GE(outcome.triesWhileRead, 2);
    EXPECT_LT(logFileBytes(database), outcome.atRelease + kStep + (std::int64_t{1} << 20));
}

}  // namespace
