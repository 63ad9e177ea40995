#pragma once
// The write lock of another process on a database file, as a backup or a sqlite3 shell's
// BEGIN IMMEDIATE holds it.
#include <sqlite3.h>

#include <string>

class DatabaseLock {
public:
    explicit DatabaseLock(const std::string& path) {
        if (sqlite3_open(path.c_str(), &db_) == SQLITE_OK) hold();
    }
    ~DatabaseLock() {
        release();
        sqlite3_close(db_);
    }
    DatabaseLock(const DatabaseLock&) = delete;
    DatabaseLock& operator=(const DatabaseLock&) = delete;

    // Takes the lock; whether it is held.
    bool hold() {
        if (!held_) held_ = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
        return held_;
    }
    void release() {
        if (held_) sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
        held_ = false;
    }

private:
    sqlite3* db_ = nullptr;
    bool held_ = false;
};
