#pragma once
// The scores in one SQLite database file (write-ahead log): one writer connection behind
// a mutex, so uploads are serialised, and one reader connection behind another, so pages
// are drawn while uploads are written.
#include <mutex>
#include <string>

#include "ScoreStore.h"

struct sqlite3;

class SqliteScoreStore final : public ScoreStore {
public:
    // Opens (or creates) the database at `path`. On failure `ok()` is false and
    // `openError()` says why; a store that is not ok must not be used.
    explicit SqliteScoreStore(const std::string& path);
    ~SqliteScoreStore() override;
    SqliteScoreStore(const SqliteScoreStore&) = delete;
    SqliteScoreStore& operator=(const SqliteScoreStore&) = delete;

    bool ok() const { return writer_ != nullptr && reader_ != nullptr; }
    const std::string& openError() const { return openError_; }

    int store(const ScoreUpload& upload, const Source& source, std::string& error) override;
    std::vector<BestEntry> bestEntries(int table, int limit) override;
    std::int64_t uploadCount() override;

private:
    bool open(const std::string& path);
    bool storeLocked(const ScoreUpload& upload, const Source& source, int& added, std::string& error);

    sqlite3* writer_ = nullptr;
    sqlite3* reader_ = nullptr;
    std::mutex writerMutex_;
    std::mutex readerMutex_;
    std::string openError_;
};
