#include "support/AcceptFaults.h"

#include <dlfcn.h>
#include <sys/socket.h>

#include <atomic>
#include <cerrno>

namespace {

std::atomic<int> failure = 0;
std::atomic<long> failed = 0;

}  // namespace

// Defined in the test program, this takes the place of the C library's for the server
// linked into it.
extern "C" int accept4(int fd, sockaddr* address, socklen_t* size, int flags) {
    if (const int error = failure.load()) {
        ++failed;
        errno = error;
        return -1;
    }
    using Accept4 = int (*)(int, sockaddr*, socklen_t*, int);
    static const auto system = reinterpret_cast<Accept4>(::dlsym(RTLD_NEXT, "accept4"));
    return system(fd, address, size, flags);
}

void AcceptFaults::failWith(int error) {
    failed = 0;
    failure = error;
}

long AcceptFaults::failures() { return failed; }
