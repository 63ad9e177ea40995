#pragma once
// The single-instance rule: a record lock held on a file for the life of the process.
// The system drops the lock when the process ends, however it ends, and a lock of this
// kind is never inherited by child processes, so nothing a dead copy leaves behind (a
// message box, a browser it started) can keep a new copy from starting.
#include <string>

namespace InstanceLock {
enum class Result {
    kAcquired,     // this process holds the lock now (or held it already)
    kHeldByOther,  // another running process holds it
    kUnavailable,  // the lock file could not be opened or locked; `error` says why
};

// Takes the lock on the file at `path`, creating the file when needed. The file is
// never opened through a link. Kept until the process ends.
Result acquire(const std::string& path, int& error);
}  // namespace InstanceLock
