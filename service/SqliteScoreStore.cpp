#include "SqliteScoreStore.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>

namespace {

// The schema's version, kept in the database's user_version: 0 is the first (without
// best_scores), 1 keeps each installation's best entry per table beside its scores, so
// that the high-score page reads its rows in order from an index that holds all it
// shows of them, and stops at its limit.
// A trigger keeps it as entries arrive: the best entry has the highest score, then was
// made first, then has the lowest digest.
constexpr int kSchemaVersion = 1;

constexpr const char* kTables = R"sql(
CREATE TABLE IF NOT EXISTS uploads(
  id INTEGER PRIMARY KEY,
  installation INTEGER NOT NULL,
  country TEXT NOT NULL,
  platform TEXT NOT NULL,
  version TEXT NOT NULL,
  received INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS installations(
  id INTEGER PRIMARY KEY,
  country TEXT NOT NULL,
  last_upload INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS scores(
  score_table INTEGER NOT NULL,
  installation INTEGER NOT NULL,
  digest BLOB NOT NULL,
  name TEXT NOT NULL,
  score INTEGER NOT NULL,
  made INTEGER NOT NULL,
  upload INTEGER NOT NULL,
  PRIMARY KEY(score_table, installation, digest)) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS best_scores(
  score_table INTEGER NOT NULL,
  installation INTEGER NOT NULL,
  score INTEGER NOT NULL,
  made INTEGER NOT NULL,
  digest BLOB NOT NULL,
  name TEXT NOT NULL,
  PRIMARY KEY(score_table, installation)) WITHOUT ROWID;
)sql";

// Ends an insert of an entry into best_scores: it takes the place of its installation's
// best entry in its table only when it is better.
constexpr const char* kKeepTheBetter = R"sql(
  ON CONFLICT(score_table, installation) DO UPDATE
  SET score = excluded.score, made = excluded.made, digest = excluded.digest, name = excluded.name
  WHERE excluded.score > best_scores.score OR (excluded.score = best_scores.score AND
        (excluded.made < best_scores.made OR (excluded.made = best_scores.made AND excluded.digest < best_scores.digest))))sql";

// The page's index, and the trigger that keeps each installation's best entry as its
// entries arrive.
std::string rankingSql() {
    return std::string(R"sql(
CREATE INDEX IF NOT EXISTS best_scores_ranked ON best_scores(score_table, score DESC, made, installation, name);
CREATE TRIGGER IF NOT EXISTS best_scores_follow AFTER INSERT ON scores BEGIN
  INSERT INTO best_scores(score_table, installation, score, made, digest, name)
  VALUES(NEW.score_table, NEW.installation, NEW.score, NEW.made, NEW.digest, NEW.name))sql") +
           kKeepTheBetter + ";\nEND;";
}

// From the first schema: each installation's best entry per table, taken from all its
// scores in one pass in the order of their key, which needs no sort: an installation's
// entries of one table come together, so the best entry they are weighed against is the
// last row written, at hand. (It is filled before the page's index is made, which sorts
// its rows once instead of taking them in a scattered order.) The index the first page's
// grouping query read is no longer needed.
std::string fillBestScoresSql() {
    return std::string(R"sql(
INSERT INTO best_scores(score_table, installation, score, made, digest, name)
SELECT score_table, installation, score, made, digest, name FROM scores WHERE true
ORDER BY score_table, installation)sql") +
           kKeepTheBetter + ";\nDROP INDEX IF EXISTS scores_best;";
}

// One prepared statement, finalised when it goes out of scope.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr); }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    sqlite3_stmt* get() const { return statement_; }
    explicit operator bool() const { return statement_ != nullptr; }

private:
    sqlite3_stmt* statement_ = nullptr;
};

bool execute(sqlite3* db, const char* sql, std::string& error) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
    error = message ? message : sqlite3_errmsg(db);
    sqlite3_free(message);
    return false;
}

void bindText(sqlite3_stmt* s, int index, const std::string& text) {
    sqlite3_bind_text(s, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

// Steps a statement that returns no rows; false with `error` on failure.
bool stepDone(sqlite3* db, sqlite3_stmt* s, std::string& error) {
    if (sqlite3_step(s) == SQLITE_DONE) return true;
    error = sqlite3_errmsg(db);
    return false;
}

std::string columnText(sqlite3_stmt* s, int column) {
    const auto* text = sqlite3_column_text(s, column);
    return text ? std::string(reinterpret_cast<const char*>(text), sqlite3_column_bytes(s, column)) : std::string();
}

bool prepare(sqlite3* db, const char* sql, sqlite3_stmt*& statement, std::string& error) {
    if (sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr) == SQLITE_OK) return true;
    error = sqlite3_errmsg(db);
    return false;
}

sqlite3* openConnection(const std::string& path, int flags, std::string& error) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
        error = "cannot open " + path + ": " + (db ? sqlite3_errmsg(db) : "out of memory");
        sqlite3_close(db);
        return nullptr;
    }
    return db;
}

// The number a pragma such as "PRAGMA page_size" reads; -1 when it cannot be read.
int readPragma(sqlite3* db, const char* pragma) {
    Statement read(db, pragma);
    if (!read || sqlite3_step(read.get()) != SQLITE_ROW) return -1;
    return sqlite3_column_int(read.get(), 0);
}

// The schema's version of `db`, read without changing anything; -1 with `error` set when
// it cannot be read, or is newer than this service's.
int schemaVersion(sqlite3* db, std::string& error) {
    const int version = readPragma(db, "PRAGMA user_version");
    if (version < 0) error = sqlite3_errmsg(db);
    if (version <= kSchemaVersion) return version;
    error = "the database has schema version " + std::to_string(version) + ", newer than this service's " +
            std::to_string(kSchemaVersion);
    return -1;
}

// Brings the schema to kSchemaVersion in one transaction, so that an interrupted
// upgrade leaves the database as it was. `upgraded` tells whether there was anything to
// bring up to date.
bool upgradeSchema(sqlite3* db, bool& upgraded, std::string& error) {
    if (!execute(db, "BEGIN IMMEDIATE", error)) return false;
    // Read again now that no other writer can come between: another service may have
    // brought the schema up to date since.
    const int version = schemaVersion(db, error);
    upgraded = version >= 0 && version < kSchemaVersion;
    bool done = version >= 0 && execute(db, kTables, error);
    // The page's index over every best entry is sorted by a few threads beside this one.
    if (done && version < 1)
        done = execute(db, "PRAGMA threads = 4", error) && execute(db, fillBestScoresSql().c_str(), error);
    if (done) done = execute(db, rankingSql().c_str(), error);
    const std::string setVersion = "PRAGMA user_version = " + std::to_string(kSchemaVersion);
    if (done) done = execute(db, setVersion.c_str(), error) && execute(db, "COMMIT", error);
    std::string ignored;
    if (!done) execute(db, "ROLLBACK", ignored);
    execute(db, "PRAGMA threads = 0", ignored);
    return done;
}

// What a failed call of the store returns, from the error of `db`'s last statement.
int failure(sqlite3* db) { return sqlite3_errcode(db) == SQLITE_BUSY ? ScoreStore::kBusy : -1; }

// Why an upload is refused once the store's waits have ended.
constexpr const char* kStoppingReason = "the service is stopping";

}  // namespace

std::int64_t SqliteScoreStore::logBytes(int frames, int pageSize) {
    constexpr std::int64_t kLogHeader = 32, kFrameHeader = 24;
    return kLogHeader + static_cast<std::int64_t>(frames) * (pageSize + kFrameHeader);
}

SqliteScoreStore::SqliteScoreStore(const std::string& path, std::chrono::milliseconds lockPatience,
                                   std::function<Clock::time_point()> clock)
    : lockPatience_(lockPatience), clock_(std::move(clock)) {
    if (!open(path)) {
        finalizeStatements();
        sqlite3_close(checkpointer_);
        sqlite3_close(writer_);
        sqlite3_close(reader_);
        writer_ = reader_ = checkpointer_ = nullptr;
        return;
    }
    checkpointThread_ = std::thread([this] { checkpointLoop(); });
}

SqliteScoreStore::~SqliteScoreStore() {
    // A wait for another's lock would hold up the end.
    endWaitsBy(now());
    if (checkpointThread_.joinable()) {
        {
            std::lock_guard lock(stopMutex_);
            stopping_ = true;
        }
        stopSignal_.notify_all();
        checkpointThread_.join();
    }
    finalizeStatements();
    sqlite3_close(checkpointer_);
    sqlite3_close(reader_);
    // The last connection to close copies the log into the database and removes it.
    sqlite3_close(writer_);
}

void SqliteScoreStore::finalizeStatements() {
    for (sqlite3_stmt** s : {&insertUpload_, &upsertInstallation_, &insertScore_, &selectBest_, &selectInstallation_}) {
        sqlite3_finalize(*s);
        *s = nullptr;
    }
}

// Copies the log into the database whenever it has grown past kCheckpointBytes, and at
// least once a second, beside the writer, so that the database file stays current and
// the writer finds little left to copy when it restarts the log.
void SqliteScoreStore::checkpointLoop() {
    std::unique_lock lock(stopMutex_);
    while (true) {
        stopSignal_.wait_for(lock, std::chrono::seconds(1), [this] { return stopping_ || logFull_; });
        // The last connection to close copies what is left.
        if (stopping_) return;
        logFull_ = false;
        lock.unlock();
        {
            std::lock_guard checkpointing(checkpointMutex_);
            // A connection takes part in the log only once it has read the database:
            // before that a checkpoint does nothing at all and still reports success.
            std::string ignored;
            execute(checkpointer_, "SELECT COUNT(*) FROM sqlite_schema", ignored);
            sqlite3_wal_checkpoint_v2(checkpointer_, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
        }
        lock.lock();
    }
}

void SqliteScoreStore::endWaitsBy(Clock::time_point deadline) {
    const Clock::rep wanted = deadline.time_since_epoch().count();
    Clock::rep end = waitsEnd_;
    while (wanted < end && !waitsEnd_.compare_exchange_weak(end, wanted)) {
    }
}

namespace {

// The pause between two looks at a lock another connection holds: growing, up to 16 ms.
std::chrono::milliseconds pollStep(int count) { return std::chrono::milliseconds(1 << std::min(count, 4)); }

}  // namespace

// The reader's and the checkpointer's busy handler: waits for a lock another connection
// holds, polling, until the store's patience has run out since the wait began or its
// waits end. Returning 0 gives up: the statement fails with SQLITE_BUSY.
int SqliteScoreStore::waitForLock(void* data, int count) {
    auto& wait = *static_cast<LockWait*>(data);
    const Clock::time_point now = wait.store->now();
    if (count == 0) wait.began = now;
    const Clock::time_point end = std::min(wait.began + wait.store->lockPatience_, wait.store->waitsEnd());
    if (now >= end || wait.atOnce) return 0;
    std::this_thread::sleep_for(pollStep(count));
    return 1;
}

// The writer's busy handler: waits for a lock another connection holds for as long as the
// upload of the caller that has the writer may still wait, refusing each queued upload
// as its own time runs out, so that one that came while others waited does not wait for
// them and then on its own. Once the caller's own upload is refused it lets the writer
// go, to be answered: another caller still waiting takes the writer up. The store's own
// work on the writer, with no upload leading (opening and upgrading the database), waits
// as the other connections do.
int SqliteScoreStore::waitForWriteLock(void* data, int count) {
    auto& wait = *static_cast<LockWait*>(data);
    if (!wait.store->leading_) return waitForLock(data, count);
    if (wait.atOnce || !wait.store->refuseExpired()) return 0;
    std::this_thread::sleep_for(pollStep(count));
    return 1;
}

// Takes the uploads whose time has run out out of the queue, refused as busy, or as
// stopping when the end of waits came before their own time; whether the writer's
// caller's own still waits.
bool SqliteScoreStore::refuseExpired() {
    const Clock::time_point at = now();
    const Clock::time_point cut = waitsEnd();
    std::lock_guard lock(queueMutex_);
    const auto expired = [&](PendingUpload* p) {
        if (at < p->giveUpAt && at < cut) return false;
        const bool stopping = cut < p->giveUpAt;
        p->done = true;
        p->added = stopping ? kStopping : kBusy;
        p->error = stopping ? kStoppingReason : sqlite3_errstr(SQLITE_BUSY);
        return true;
    };
    const auto waiting = std::remove_if(queue_.begin(), queue_.end(), expired);
    if (waiting != queue_.end()) {
        queue_.erase(waiting, queue_.end());
        queueChanged_.notify_all();
    }
    return !leading_->done && at < std::min(leading_->giveUpAt, cut);
}

sqlite3* SqliteScoreStore::connect(const std::string& path, int flags, int (*handler)(void*, int), LockWait& wait) {
    sqlite3* db = openConnection(path, flags, openError_);
    wait.store = this;
    if (db) sqlite3_busy_handler(db, handler, &wait);
    return db;
}

// A log that is copied only while the writer goes on is never copied whole under steady
// load, and so is never started over: it grows without end. So the writer, between two
// transactions, once the log has passed kRestartBytes, copies what is left, and when no
// reader is still in the log its next transaction starts the log over from its
// beginning. That copy (with a flush of the database file) is what the upload latency
// pays, once per 32 MiB of log. A reader that stays in the log (another process's
// backup, say) keeps it from starting over for as long as it reads: rather than hold
// every upload meanwhile, the writer does not wait for it, and tries again once the log
// has grown by kRestartRetryBytes more. Called with the writer held.
void SqliteScoreStore::restartLongLog() {
    const std::int64_t bytes = logBytes_;
    // A log the checkpoint thread copied whole with no reader in it starts over by itself.
    if (bytes < kRestartBytes) nextRestart_ = kRestartBytes;
    if (bytes < nextRestart_) return;
    // Only one checkpoint runs at a time: a second would fail at once.
    std::lock_guard checkpointing(checkpointMutex_);
    ++logRestartTries_;
    writerWait_.atOnce = true;
    const bool restarted =
        sqlite3_wal_checkpoint_v2(writer_, nullptr, SQLITE_CHECKPOINT_RESTART, nullptr, nullptr) == SQLITE_OK;
    writerWait_.atOnce = false;
    if (restarted) logBytes_ = 0;
    nextRestart_ = restarted ? kRestartBytes : bytes + kRestartRetryBytes;
}

bool SqliteScoreStore::open(const std::string& path) {
    // Each connection to an in-memory or a temporary database gets one of its own, so
    // the reader would never see what the writer wrote.
    if (path.empty() || path == ":memory:") {
        openError_ = "cannot keep scores in \"" + path + "\": the store needs a database file";
        return false;
    }
    writer_ = connect(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, waitForWriteLock, writerWait_);
    if (!writer_) return false;
    // The version is read before anything is changed, so that the database of a newer
    // service is left as it was, byte for byte: not even switched to the log.
    // WAL keeps readers off the writer's back; NORMAL syncs at checkpoints only, so a
    // committed upload survives the service's own crash (power loss may cost the last
    // few, which the clients were told had arrived: an accepted trade for throughput).
    bool upgraded = false;
    if (schemaVersion(writer_, openError_) < 0 ||
        !execute(writer_, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA wal_autocheckpoint=0;",
                 openError_) ||
        !upgradeSchema(writer_, upgraded, openError_)) {
        openError_ = "cannot prepare " + path + ": " + openError_;
        return false;
    }
    // An upgrade leaves a log as long as the tables it wrote: it is copied into the
    // database now and cut back, rather than held on the disk while the service runs.
    if (upgraded) sqlite3_wal_checkpoint_v2(writer_, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
    // The schema has made the database, so its page size is settled: a new database
    // takes the library's default, an existing one keeps its own.
    pageSize_ = readPragma(writer_, "PRAGMA page_size");
    if (pageSize_ <= 0) {
        openError_ = "cannot read the page size of " + path + ": " + sqlite3_errmsg(writer_);
        return false;
    }
    if (!prepare(writer_,
                 "INSERT INTO uploads(installation, country, platform, version, received) VALUES(?1, ?2, ?3, ?4, ?5)",
                 insertUpload_, openError_) ||
        !prepare(writer_,
                 "INSERT INTO installations(id, country, last_upload) VALUES(?1, ?2, ?3) "
                 "ON CONFLICT(id) DO UPDATE SET country = ?2, last_upload = ?3",
                 upsertInstallation_, openError_) ||
        !prepare(writer_,
                 "INSERT OR IGNORE INTO scores(score_table, installation, digest, name, score, made, upload) "
                 "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7)",
                 insertScore_, openError_))
        return false;
    // After each commit: notes the log's length and wakes the checkpoint thread once it
    // is long.
    sqlite3_wal_hook(
        writer_,
        [](void* self, sqlite3*, const char*, int pages) {
            auto* store = static_cast<SqliteScoreStore*>(self);
            const std::int64_t bytes = logBytes(pages, store->pageSize_);
            store->logBytes_ = bytes;
            // Commits are the writer's alone, so nothing else moves the longest.
            if (bytes > store->longestLog_) store->longestLog_ = bytes;
            if (bytes < kCheckpointBytes) return SQLITE_OK;
            {
                std::lock_guard lock(store->stopMutex_);
                store->logFull_ = true;
            }
            store->stopSignal_.notify_all();
            return SQLITE_OK;
        },
        this);
    reader_ = connect(path, SQLITE_OPEN_READONLY, waitForLock, readerWait_);
    if (!reader_ ||
        !prepare(reader_,
                 "SELECT b.installation, i.country, b.name, b.score, b.made FROM best_scores b "
                 "JOIN installations i ON i.id = b.installation WHERE b.score_table = ?1 "
                 "ORDER BY b.score DESC, b.made, b.installation LIMIT ?2",
                 selectBest_, openError_) ||
        !prepare(reader_, "SELECT 1 FROM installations WHERE id = ?1", selectInstallation_, openError_))
        return false;
    checkpointer_ = connect(path, SQLITE_OPEN_READWRITE, waitForLock, checkpointerWait_);
    return checkpointer_ != nullptr;
}

// Group commit: each caller queues its upload and waits until it is taken out of the
// queue. A caller that finds the writer free takes it: it waits for the database's write
// lock while its own upload may still wait (refusing each queued upload as its time runs
// out), then writes every upload queued by then in one transaction, each inside a
// savepoint of its own so that a failing one is undone alone. An upload is written only once it is out
// of the queue, and refused only while still in it: what is refused is never kept. No
// caller returns before its upload is committed, undone or refused.
int SqliteScoreStore::store(const ScoreUpload& upload, const Source& source, std::string& error) {
    PendingUpload pending{&upload, &source, now() + lockPatience_, false, -1, {}};
    std::unique_lock lock(queueMutex_);
    queue_.push_back(&pending);
    while (!pending.done) {
        if (writing_) {
            queueChanged_.wait(lock);
            continue;
        }
        writing_ = true;
        leading_ = &pending;
        lock.unlock();
        const std::vector<PendingUpload*> written = writeQueued();
        lock.lock();
        for (PendingUpload* p : written) p->done = true;
        writing_ = false;
        leading_ = nullptr;
        queueChanged_.notify_all();
    }
    if (pending.added < 0) error = pending.error;
    return pending.added;
}

// With the writer had: the uploads it took out of the queue, their outcomes set. None
// when the lock was still held as the caller's own upload was refused: those still
// queued take the writer in turn.
std::vector<SqliteScoreStore::PendingUpload*> SqliteScoreStore::writeQueued() {
    std::string error;
    const bool begun = execute(writer_, "BEGIN IMMEDIATE", error);
    if (!begun && sqlite3_errcode(writer_) == SQLITE_BUSY) return {};
    std::vector<PendingUpload*> batch;
    {
        std::lock_guard lock(queueMutex_);
        batch.swap(queue_);
    }
    if (!begun) {
        for (PendingUpload* p : batch) p->error = error;
        return batch;
    }
    writeBatch(batch);
    restartLongLog();
    return batch;
}

// Writes `batch` in the transaction begun, and commits it unless the store's waits have
// ended by then: a stopping service may no longer get the answers out, and an upload
// kept unanswered would be sent again. It is undone then, and refused as stopping.
void SqliteScoreStore::writeBatch(const std::vector<PendingUpload*>& batch) {
    std::string error;
    for (PendingUpload* p : batch) {
        if (!execute(writer_, "SAVEPOINT upload", p->error)) continue;
        int added = 0;
        const bool stored = storeLocked(*p->upload, *p->source, added, p->error);
        if (stored) p->added = added;
        // An upload that brings no new entry (a replay, or tables already sent) leaves no
        // row behind, so that sending it again and again grows nothing.
        if (!stored || added == 0) {
            std::string ignored;
            execute(writer_, "ROLLBACK TO upload", ignored);
        }
        execute(writer_, "RELEASE upload", error);
    }
    const bool stopping = now() >= waitsEnd();
    if (!stopping && execute(writer_, "COMMIT", error)) return;
    const int failed = stopping ? kStopping : failure(writer_);
    if (stopping) error = kStoppingReason;
    std::string ignored;
    execute(writer_, "ROLLBACK", ignored);
    for (PendingUpload* p : batch) {
        p->added = failed;
        p->error = error;
    }
}

bool SqliteScoreStore::storeLocked(const ScoreUpload& upload, const Source& source, int& added, std::string& error) {
    // A statement that failed last time starts afresh.
    for (sqlite3_stmt* s : {insertUpload_, upsertInstallation_, insertScore_}) sqlite3_reset(s);
    sqlite3_bind_int64(insertUpload_, 1, upload.installationId);
    bindText(insertUpload_, 2, upload.countryCode);
    bindText(insertUpload_, 3, source.platform);
    bindText(insertUpload_, 4, source.version);
    sqlite3_bind_int64(insertUpload_, 5, source.received);
    if (!stepDone(writer_, insertUpload_, error)) return false;
    const sqlite3_int64 uploadId = sqlite3_last_insert_rowid(writer_);

    sqlite3_bind_int64(upsertInstallation_, 1, upload.installationId);
    bindText(upsertInstallation_, 2, upload.countryCode);
    sqlite3_bind_int64(upsertInstallation_, 3, uploadId);
    if (!stepDone(writer_, upsertInstallation_, error)) return false;

    for (const ScoreUpload::Entry& entry : upload.entries) {
        sqlite3_stmt* s = insertScore_;
        sqlite3_reset(s);
        sqlite3_bind_int(s, 1, entry.table);
        sqlite3_bind_int64(s, 2, upload.installationId);
        sqlite3_bind_blob(s, 3, entry.digest.data(), static_cast<int>(entry.digest.size()), SQLITE_STATIC);
        bindText(s, 4, entry.name);
        sqlite3_bind_int(s, 5, entry.score);
        sqlite3_bind_int64(s, 6, entry.time);
        sqlite3_bind_int64(s, 7, uploadId);
        if (!stepDone(writer_, s, error)) return false;
        added += sqlite3_changes(writer_);
    }
    return true;
}

std::vector<ScoreStore::BestEntry> SqliteScoreStore::bestEntries(int table, int limit) {
    std::lock_guard lock(readerMutex_);
    sqlite3_stmt* s = selectBest_;
    sqlite3_reset(s);
    sqlite3_bind_int(s, 1, table);
    sqlite3_bind_int(s, 2, limit);
    std::vector<BestEntry> best;
    while (sqlite3_step(s) == SQLITE_ROW) {
        best.push_back({static_cast<std::uint32_t>(sqlite3_column_int64(s, 0)), columnText(s, 1), columnText(s, 2),
                        sqlite3_column_int(s, 3), sqlite3_column_int64(s, 4)});
    }
    // Ends the read, so that the log can start over behind it.
    sqlite3_reset(s);
    return best;
}

bool SqliteScoreStore::hasInstallation(std::uint32_t installationId) {
    std::lock_guard lock(readerMutex_);
    sqlite3_stmt* s = selectInstallation_;
    sqlite3_reset(s);
    sqlite3_bind_int64(s, 1, installationId);
    const bool found = sqlite3_step(s) == SQLITE_ROW;
    sqlite3_reset(s);
    return found;
}

std::int64_t SqliteScoreStore::uploadCount() {
    std::lock_guard lock(readerMutex_);
    Statement query(reader_, "SELECT COUNT(*) FROM uploads");
    if (!query || sqlite3_step(query.get()) != SQLITE_ROW) return -1;
    return sqlite3_column_int64(query.get(), 0);
}
