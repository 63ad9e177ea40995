#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace InstanceLock {

namespace {
int heldFile = -1;  // the open lock file while the lock is held; never closed
}

Result acquire(const std::string& path, int& error) {
    error = 0;
    if (heldFile >= 0) return Result::kAcquired;
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = errno;
        return Result::kUnavailable;
    }
    // A POSIX record lock belongs to this process alone: a forked child does not hold it,
    // and it goes when the process dies.
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    if (fcntl(fd, F_SETLK, &whole) != 0) {
        error = errno;
        ::close(fd);
        return error == EACCES || error == EAGAIN ? Result::kHeldByOther : Result::kUnavailable;
    }
    heldFile = fd;
    return Result::kAcquired;
}

}  // namespace InstanceLock
