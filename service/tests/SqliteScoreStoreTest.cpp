#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "SqliteScoreStore.h"
#include "support/DatabaseLock.h"
#include "support/FirstSchema.h"
#include "support/ScoreRecordBuilder.h"
#include "support/TurnedClock.h"

namespace {

using Row = std::tuple<std::uint32_t, std::string, std::string, std::int32_t, std::int64_t>;

// The page's rows worked out afresh from every score: each installation's entries
// grouped, its best kept (highest score, then made first, then lowest digest), ranked.
constexpr const char* kGroupedBest = R"sql(
SELECT s.installation, i.country, s.name, s.score, s.made FROM scores s
JOIN installations i ON i.id = s.installation
WHERE s.score_table = ?1 AND NOT EXISTS (SELECT 1 FROM scores t
  WHERE t.score_table = s.score_table AND t.installation = s.installation AND (t.score > s.score OR
    (t.score = s.score AND (t.made < s.made OR (t.made = s.made AND t.digest < s.digest)))))
ORDER BY s.score DESC, s.made, s.installation
)sql";

class SqliteScoreStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "torvane-scores-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        database = (folder / "scores.sqlite3").string();
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    static int store(SqliteScoreStore& store, ScoreRecordBuilder& record) {
        const std::string bytes = record.bytes();
        ScoreUpload upload;
        std::string error;
        EXPECT_TRUE(upload.parse({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, error));
        const int added = store.store(upload, {"LINUX", "2.79", 1700000000}, error);
        EXPECT_GE(added, 0) << error;
        return added;
    }

    // Runs `sql` on a connection of the test's own; the rows of its first column, as
    // text, when it has any.
    std::vector<std::string> query(const std::string& sql) {
        sqlite3* db = nullptr;
        std::vector<std::string> rows;
        EXPECT_EQ(sqlite3_open(database.c_str(), &db), SQLITE_OK);
        sqlite3_stmt* s = nullptr;
        const char* rest = sql.c_str();
        while (*rest && sqlite3_prepare_v2(db, rest, -1, &s, &rest) == SQLITE_OK && s) {
            while (sqlite3_step(s) == SQLITE_ROW) {
                const auto* text = sqlite3_column_text(s, 0);
                rows.emplace_back(text ? reinterpret_cast<const char*>(text) : "");
            }
            sqlite3_finalize(s);
        }
        EXPECT_EQ(sqlite3_errcode(db), SQLITE_OK) << sqlite3_errmsg(db);
        sqlite3_close(db);
        return rows;
    }

    static std::string fileBytes(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    std::vector<Row> groupedBest(int table) {
        sqlite3* db = nullptr;
        std::vector<Row> rows;
        EXPECT_EQ(sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
        sqlite3_stmt* s = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db, kGroupedBest, -1, &s, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        sqlite3_bind_int(s, 1, table);
        while (sqlite3_step(s) == SQLITE_ROW) {
            rows.emplace_back(static_cast<std::uint32_t>(sqlite3_column_int64(s, 0)),
                              reinterpret_cast<const char*>(sqlite3_column_text(s, 1)),
                              reinterpret_cast<const char*>(sqlite3_column_text(s, 2)), sqlite3_column_int(s, 3),
                              sqlite3_column_int64(s, 4));
        }
        sqlite3_finalize(s);
        sqlite3_close(db);
        return rows;
    }

    static std::vector<Row> bestRows(ScoreStore& store, int table, int limit) {
        std::vector<Row> rows;
        for (const ScoreStore::BestEntry& e : store.bestEntries(table, limit))
            rows.emplace_back(e.installationId, e.countryCode, e.name, e.score, e.time);
        return rows;
    }

    // The page's rows of every table match those worked out afresh, whole and cut short.
    void expectBestAsGrouped(ScoreStore& store) {
        for (int table = 0; table < ScoreUpload::kTableCount; ++table) {
            const std::vector<Row> grouped = groupedBest(table);
            EXPECT_EQ(bestRows(store, table, 100000), grouped) << "table " << table;
            const std::vector<Row> first(grouped.begin(), grouped.begin() + std::min<std::size_t>(grouped.size(), 7));
            EXPECT_EQ(bestRows(store, table, 7), first) << "table " << table;
        }
    }

    std::filesystem::path folder;
    std::string database;
};

// Many installations upload their tables in a random order, again and again, with many
// equal scores and equal times, so that the best entry kept as they arrive is tried
// against every way an installation's entries can tie.
TEST_F(SqliteScoreStoreTest, theBestEntriesKeptAsTheyArriveAreThoseOfAllTheScoresGrouped) {
    SqliteScoreStore scores(database);
    ASSERT_TRUE(scores.ok()) << scores.openError();
    std::mt19937 random(7);
    const char* countries[] = {"DE", "FR", "--"};
    for (int upload = 0; upload < 400; ++upload) {
        const auto installation = static_cast<std::uint32_t>(1 + random() % 40);
        ScoreRecordBuilder record(installation, countries[random() % 3]);
        for (int table = 0; table < ScoreUpload::kTableCount; ++table) {
            for (int place = 0; place < static_cast<int>(random() % 4); ++place)
                record.entry(table, place, 'n' + std::to_string(random() % 6), static_cast<std::int32_t>(random() % 5),
                             1700000000 + static_cast<std::int64_t>(random() % 3));
        }
        store(scores, record);
    }
    ASSERT_FALSE(groupedBest(0).empty());
    expectBestAsGrouped(scores);
}

// A database made before each installation's best entry was kept is brought up to date
// once, when it is opened, and the page shows what it showed from it before.
TEST_F(SqliteScoreStoreTest, anExistingDatabaseKeepsItsScoresOnThePage) {
    std::string sql = kFirstSchema;
    sql += "INSERT INTO installations VALUES(1, 'DE', 1), (2, 'FR', 2), (3, '--', 3);";
    sql += "INSERT INTO scores VALUES";
    sql += "(0, 1, x'05', 'late', 900, 20, 1), (0, 1, x'06', 'early', 900, 10, 1), (0, 1, x'01', 'low', 100, 1, 1),";
    sql += "(0, 2, x'09', 'b', 900, 10, 2), (0, 2, x'08', 'a', 900, 10, 2), (0, 3, x'02', 'top', 950, 30, 3),";
    sql += "(4, 3, x'03', 'other table', -5, 1, 3);";
    ASSERT_TRUE(query(sql).empty());
    {
        SqliteScoreStore scores(database);
        ASSERT_TRUE(scores.ok()) << scores.openError();
        EXPECT_EQ(bestRows(scores, 0, 100),
                  (std::vector<Row>{{3, "--", "top", 950, 30}, {1, "DE", "early", 900, 10}, {2, "FR", "a", 900, 10}}));
        expectBestAsGrouped(scores);
        // Uploads go on from there.
        ScoreRecordBuilder record(1, "DE");
        record.entry(0, 0, "new best", 990, 40);
        EXPECT_EQ(store(scores, record), 1);
        expectBestAsGrouped(scores);
        EXPECT_EQ(std::get<2>(bestRows(scores, 0, 1).at(0)), "new best");
    }
    EXPECT_EQ(query("PRAGMA user_version"), std::vector<std::string>{"1"});
    EXPECT_TRUE(query("SELECT name FROM sqlite_schema WHERE name = 'scores_best'").empty());
    SqliteScoreStore again(database);
    ASSERT_TRUE(again.ok()) << again.openError();
    expectBestAsGrouped(again);
}

// Whichever journal it keeps, the database of a newer service is refused and left as it
// was, byte for byte: not even switched to the write-ahead log.
TEST_F(SqliteScoreStoreTest, aDatabaseOfANewerServiceIsLeftAlone) {
    for (const std::string mode : {"DELETE", "WAL"}) {
        std::filesystem::remove(database);
        query("PRAGMA journal_mode = " + mode + "; CREATE TABLE later(x); PRAGMA user_version = 2;");
        const std::string before = fileBytes(database);
        ASSERT_FALSE(before.empty());
        {
            SqliteScoreStore scores(database);
            EXPECT_FALSE(scores.ok());
            EXPECT_NE(scores.openError().find("schema version 2, newer than this service's 1"), std::string::npos)
                << scores.openError();
        }
        EXPECT_EQ(fileBytes(database), before) << mode;
        EXPECT_TRUE(query("SELECT name FROM sqlite_schema WHERE name = 'scores'").empty());
    }
}

// An upload of `installation` with one entry, stored on a thread of its own (so that
// the clock counts it as a reader); its outcome.
std::future<int> storeApart(SqliteScoreStore& scores, std::uint32_t installation) {
    return std::async(std::launch::async, [&scores, installation] {
        ScoreRecordBuilder record(installation, "DE");
        record.entry(0, 0, "Held", 1000);
        const std::string bytes = record.bytes();
        ScoreUpload upload;
        std::string error;
        EXPECT_TRUE(upload.parse({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, error));
        return scores.store(upload, {"LINUX", "2.79", 1700000000}, error);
    });
}

bool answeredWithin(const std::future<int>& outcome, std::chrono::milliseconds time) {
    return outcome.wait_for(time) == std::future_status::ready;
}

// Whether the upload of `outcome` has seen the clock as it stands and still waits: the
// store polls the clock while an upload waits, and stops once none does, so polls after
// this call with no answer mean that it went on waiting at this time, however slow the
// machine. A mere pause for an answer that does not come would pass on a machine too slow
// to answer within it.
bool waitsOnUnanswered(const TurnedClock& clock, const std::future<int>& outcome) {
    return clock.waitForPolls(clock.reads()) && !answeredWithin(outcome, std::chrono::milliseconds(0));
}

// Another process holds the database's write lock (a backup, say). Each upload waits for
// it 5 s from its own call, however many wait before it: one that comes while another
// waits is not held for that wait and then for 5 s of its own. What is refused is not
// kept, though the lock comes free while others still wait; those are kept.
TEST_F(SqliteScoreStoreTest, eachUploadWaitsForAnotherProcesssLockFiveSecondsFromItsOwnCall) {
    TurnedClock clock;
    SqliteScoreStore scores(database, SqliteScoreStore::kLockPatience, clock.function());
    ASSERT_TRUE(scores.ok()) << scores.openError();
    DatabaseLock lock(database);
    ASSERT_TRUE(lock.hold());
    std::future<int> first = storeApart(scores, 1);
    ASSERT_TRUE(TurnedClock::waitUntil([&clock] { return clock.readers() == 1; }));
    clock.advance(std::chrono::seconds(3));
    std::future<int> second = storeApart(scores, 2);
    ASSERT_TRUE(TurnedClock::waitUntil([&clock] { return clock.readers() == 2; }));
    clock.advance(std::chrono::seconds(2));
    ASSERT_TRUE(answeredWithin(first, std::chrono::seconds(10)));
    EXPECT_EQ(first.get(), ScoreStore::kBusy);
    // The second's 5 s are not over yet: it goes on polling the turned clock unanswered.
    clock.advance(std::chrono::seconds(3) - std::chrono::milliseconds(1));
    EXPECT_TRUE(waitsOnUnanswered(clock, second));
    std::future<int> third = storeApart(scores, 3);
    ASSERT_TRUE(TurnedClock::waitUntil([&clock] { return clock.readers() == 3; }));
    clock.advance(std::chrono::milliseconds(1));
    ASSERT_TRUE(answeredWithin(second, std::chrono::seconds(10)));
    EXPECT_EQ(second.get(), ScoreStore::kBusy);
    lock.release();
    ASSERT_TRUE(answeredWithin(third, std::chrono::seconds(10)));
    EXPECT_EQ(third.get(), 1);
    EXPECT_EQ(scores.uploadCount(), 1);
    EXPECT_FALSE(scores.hasInstallation(1));
    EXPECT_FALSE(scores.hasInstallation(2));
    EXPECT_TRUE(scores.hasInstallation(3));
}

// An upload waiting for another process's lock when the store's waits end, on the
// store's own clock, is refused as stopping, and nothing of it is kept; one whose own 5 s
// ran out before that end is refused as busy.
TEST_F(SqliteScoreStoreTest, anUploadWaitingForAnotherProcesssLockWhenWaitsEndIsRefusedAsStopping) {
    TurnedClock clock;
    SqliteScoreStore scores(database, SqliteScoreStore::kLockPatience, clock.function());
    ASSERT_TRUE(scores.ok()) << scores.openError();
    DatabaseLock lock(database);
    ASSERT_TRUE(lock.hold());
    std::future<int> early = storeApart(scores, 7);
    ASSERT_TRUE(TurnedClock::waitUntil([&clock] { return clock.readers() == 1; }));
    clock.advance(std::chrono::seconds(4));
    std::future<int> late = storeApart(scores, 8);
    ASSERT_TRUE(TurnedClock::waitUntil([&clock] { return clock.readers() == 2; }));
    scores.endWaitsBy(clock.now() + std::chrono::seconds(2));
    clock.advance(std::chrono::seconds(1));
    ASSERT_TRUE(answeredWithin(early, std::chrono::seconds(10)));
    EXPECT_EQ(early.get(), ScoreStore::kBusy);
    EXPECT_TRUE(waitsOnUnanswered(clock, late));
    clock.advance(std::chrono::seconds(1));
    ASSERT_TRUE(answeredWithin(late, std::chrono::seconds(10)));
    // A wait that did not end would take the lock now, and store the upload.
    lock.release();
    EXPECT_EQ(late.get(), ScoreStore::kStopping);
    EXPECT_EQ(scores.uploadCount(), 0);
    EXPECT_FALSE(scores.hasInstallation(8));
}

// Once the store's waits have ended (the service stops, and its answers go out only for
// a little longer), nothing more is kept, though the database is free: an upload is
// refused as stopping, so that none is kept whose client may never hear of it. Until
// then uploads are kept as ever.
TEST_F(SqliteScoreStoreTest, nothingIsKeptOnceTheWaitsHaveEnded) {
    TurnedClock clock;
    SqliteScoreStore scores(database, SqliteScoreStore::kLockPatience, clock.function());
    ASSERT_TRUE(scores.ok()) << scores.openError();
    scores.endWaitsBy(clock.now() + std::chrono::seconds(1));
    EXPECT_EQ(storeApart(scores, 5).get(), 1);
    clock.advance(std::chrono::seconds(1));
    EXPECT_EQ(storeApart(scores, 6).get(), ScoreStore::kStopping);
    EXPECT_EQ(scores.uploadCount(), 1);
    EXPECT_FALSE(scores.hasInstallation(6));
}

// Another process may hold the database's write lock as the service starts (a backup, or
// a sqlite3 shell). Opening then waits for it as long as an upload would: the store
// opens once the lock is let go, and a lock held past that is reported, not a crash.
TEST_F(SqliteScoreStoreTest, anOpeningWaitsForAnotherProcesssLockAsAnUploadWould) {
    ASSERT_TRUE(SqliteScoreStore(database).ok());
    {
        DatabaseLock lock(database);
        ASSERT_TRUE(lock.hold());
        SqliteScoreStore scores(database, std::chrono::milliseconds(50));
        EXPECT_FALSE(scores.ok());
        EXPECT_NE(scores.openError().find("locked"), std::string::npos) << scores.openError();
    }
    // On a clock that stands still the opening waits until the lock is let go, which is
    // done only once it is seen waiting: it polls the clock.
    DatabaseLock lock(database);
    ASSERT_TRUE(lock.hold());
    TurnedClock clock;
    std::future<std::unique_ptr<SqliteScoreStore>> opening = std::async(std::launch::async, [&] {
        return std::make_unique<SqliteScoreStore>(database, SqliteScoreStore::kLockPatience, clock.function());
    });
    ASSERT_TRUE(clock.waitForPolls(0));
    lock.release();
    const std::unique_ptr<SqliteScoreStore> scores = opening.get();
    ASSERT_TRUE(scores->ok()) << scores->openError();
    ScoreRecordBuilder record(9, "DE");
    record.entry(0, 0, "Opened", 1000);
    EXPECT_EQ(store(*scores, record), 1);
}

// An in-memory or temporary database would be a separate one for each of the store's
// connections, whose pages would never show what was uploaded: the store refuses it.
TEST_F(SqliteScoreStoreTest, aDatabaseWithoutAFileIsRefused) {
    for (const char* path : {":memory:", ""}) {
        SqliteScoreStore scores(path);
        EXPECT_FALSE(scores.ok()) << path;
        EXPECT_NE(scores.openError().find("needs a database file"), std::string::npos) << scores.openError();
    }
}

// A captured upload sent again, or a record with nothing signed, must grow nothing: else
// anyone could fill the disk with copies of one upload.
TEST_F(SqliteScoreStoreTest, anUploadWithNothingNewLeavesNoRowBehind) {
    SqliteScoreStore scores(database);
    ASSERT_TRUE(scores.ok()) << scores.openError();
    ScoreRecordBuilder record(1, "DE");
    record.entry(2, 0, "Ann", 5000);
    ASSERT_EQ(store(scores, record), 1);
    const std::string counts =
        "SELECT (SELECT COUNT(*) FROM uploads) || ' ' || (SELECT COUNT(*) FROM installations) || ' ' || "
        "(SELECT COUNT(*) FROM scores) || ' ' || (SELECT COUNT(*) FROM best_scores)";
    const std::vector<std::string> before = query(counts);
    EXPECT_EQ(before, std::vector<std::string>{"1 1 1 1"});
    EXPECT_EQ(store(scores, record), 0);
    ScoreRecordBuilder empty(2, "FR");
    EXPECT_EQ(store(scores, empty), 0);
    EXPECT_EQ(query(counts), before);
    EXPECT_EQ(scores.uploadCount(), 1);
    EXPECT_TRUE(scores.hasInstallation(1));
    EXPECT_FALSE(scores.hasInstallation(2));
}

}  // namespace
