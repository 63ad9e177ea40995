#pragma once
// The scores in one SQLite database file (write-ahead log): one writer connection, which
// commits the uploads that wait for it in groups, and one reader connection behind a
// mutex, so pages are drawn while uploads are written. A thread of its own copies the
// log into the database once a second, or sooner when the log has grown long, so that
// uploads seldom wait for that copy and its disk flushes; the writer starts the log over
// whenever it passes 32 MiB, so that it stays short under any load. A reader of another
// process (a backup, say) that keeps the log from starting over is not waited for: the
// log grows on while it reads, and starts over within 4 MiB more once it has gone. Any
// other lock that another process holds is waited for up to 5 s, or until the end of
// waits set by `endWaitsBy`; an upload that cannot be written by then is refused as
// busy. An upload's 5 s count from its own call, however many wait before it, and one
// refused is never written afterwards. From the end of waits on nothing is committed:
// an upload not committed by then is refused too, however free the database.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ScoreStore.h"

struct sqlite3;
struct sqlite3_stmt;

class SqliteScoreStore final : public ScoreStore {
public:
    using Clock = std::chrono::steady_clock;

    // The log's length in bytes, measured with the database's own page size (which an
    // existing database keeps), after which the log is copied into the database at once.
    static constexpr std::int64_t kCheckpointBytes = std::int64_t{8} << 20;
    // The log's length in bytes after which the writer copies the rest of the log and
    // starts it over.
    static constexpr std::int64_t kRestartBytes = std::int64_t{32} << 20;
    // How far the log grows past a restart that a reader kept from being had at once
    // before the writer tries again, in bytes.
    static constexpr std::int64_t kRestartRetryBytes = std::int64_t{4} << 20;

    // The length of a log of `frames` pages of `pageSize` bytes: its header, then each
    // page behind a header of its own.
    static std::int64_t logBytes(int frames, int pageSize);

    // How long a call waits for a lock that another process holds, unless the store's
    // waits end sooner.
    static constexpr std::chrono::milliseconds kLockPatience{5000};

    // Opens (or creates) the database file at `path`. On failure `ok()` is false and
    // `openError()` says why; a store that is not ok must not be used. `clock` is read for
    // every wait's end (the steady clock when empty); the waits themselves poll it every
    // few milliseconds, so that a clock turned by hand ends them too.
    explicit SqliteScoreStore(const std::string& path, std::chrono::milliseconds lockPatience = kLockPatience,
                              std::function<Clock::time_point()> clock = {});
    ~SqliteScoreStore() override;
    SqliteScoreStore(const SqliteScoreStore&) = delete;
    SqliteScoreStore& operator=(const SqliteScoreStore&) = delete;

    bool ok() const { return writer_ != nullptr && reader_ != nullptr; }
    const std::string& openError() const { return openError_; }

    int store(const ScoreUpload& upload, const Source& source, std::string& error) override;
    std::vector<BestEntry> bestEntries(int table, int limit) override;
    bool hasInstallation(std::uint32_t installationId) override;
    std::int64_t uploadCount() override;
    void endWaitsBy(Clock::time_point deadline) override;

    // The longest the log has been after any commit, in bytes, and how many times the
    // writer has tried to start it over (a reader in the log refuses a try): the store's
    // own account of its log, for tests.
    std::int64_t longestLog() const { return longestLog_; }
    int logRestartTries() const { return logRestartTries_; }

private:
    // An upload waiting for the writer; the fields below `giveUpAt` are set by whoever
    // takes it out of the queue.
    struct PendingUpload {
        const ScoreUpload* upload;
        const Source* source;
        Clock::time_point giveUpAt;  // refused as busy once it has not been taken by then
        bool done = false;
        int added = -1;
        std::string error;
    };

    // A connection's wait for a lock another holds, for its busy handler.
    struct LockWait {
        SqliteScoreStore* store = nullptr;
        Clock::time_point began;  // of the wait going on
        bool atOnce = false;      // give up at once instead of waiting
    };

    static int waitForLock(void* data, int count);
    static int waitForWriteLock(void* data, int count);
    sqlite3* connect(const std::string& path, int flags, int (*handler)(void*, int), LockWait& wait);
    Clock::time_point now() const { return clock_ ? clock_() : Clock::now(); }
    Clock::time_point waitsEnd() const { return Clock::time_point(Clock::duration(waitsEnd_.load())); }
    bool refuseExpired();
    std::vector<PendingUpload*> writeQueued();
    void writeBatch(const std::vector<PendingUpload*>& batch);
    bool open(const std::string& path);
    bool storeLocked(const ScoreUpload& upload, const Source& source, int& added, std::string& error);
    void checkpointLoop();
    void restartLongLog();
    void finalizeStatements();

    sqlite3* writer_ = nullptr;
    sqlite3* reader_ = nullptr;
    sqlite3* checkpointer_ = nullptr;
    // The writer's statements, prepared once: uploads are the hot path.
    sqlite3_stmt* insertUpload_ = nullptr;
    sqlite3_stmt* upsertInstallation_ = nullptr;
    sqlite3_stmt* insertScore_ = nullptr;
    // The reader's, prepared once too: the page's rows and the check of an installation.
    sqlite3_stmt* selectBest_ = nullptr;
    sqlite3_stmt* selectInstallation_ = nullptr;
    std::mutex queueMutex_;                 // guards queue_, writing_ and the uploads in the queue
    std::condition_variable queueChanged_;  // uploads were taken out of the queue, or the writer let go
    std::vector<PendingUpload*> queue_;     // in the order of their calls
    bool writing_ = false;                  // a caller has the writer connection
    // The upload of the caller that has the writer; none while the store opens. Set and
    // cleared under queueMutex_ by that caller, and read by its busy handler.
    const PendingUpload* leading_ = nullptr;
    std::mutex readerMutex_;
    std::mutex checkpointMutex_;  // held while a checkpoint runs
    std::string openError_;
    std::mutex stopMutex_;
    std::condition_variable stopSignal_;  // stopping_ or logFull_ was set
    bool stopping_ = false;
    bool logFull_ = false;                    // the log has passed kCheckpointBytes
    int pageSize_ = 0;                        // bytes, the database's, read once it exists
    std::atomic<std::int64_t> logBytes_ = 0;  // the log's length after the last commit
    std::atomic<std::int64_t> longestLog_ = 0;
    std::atomic<int> logRestartTries_ = 0;
    std::int64_t nextRestart_ = kRestartBytes;  // the writer's: the log's length at which it tries next
    std::thread checkpointThread_;
    // Each connection waits on its own thread: the writer's on the caller that has it, the
    // reader's behind its mutex, the checkpointer's on the checkpoint thread.
    LockWait writerWait_, readerWait_, checkpointerWait_;
    Clock::duration lockPatience_;
    std::function<Clock::time_point()> clock_;
    std::atomic<Clock::rep> waitsEnd_ = Clock::time_point::max().time_since_epoch().count();
};
