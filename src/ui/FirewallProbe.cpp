#include "ui/FirewallProbe.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "engine/Format.h"
#include "engine/Logger.h"
#include "engine/Strings.h"

namespace {
constexpr int kReceiveBufferBytes = 0x40000;

// The error's symbolic name ("EADDRINUSE"), or its number when it has none.
std::u16string errorName(int error) {
    const char* name = strerrorname_np(error);
    return name ? makeWideString(name) : formatString(u"errno %d", error);
}

bool failed(const char* call, int socketFd) {
    const int error = errno;
    QOR_LOG("FirewallProbe::bindOnce", u"%hs failed: %s.", call, errorName(error));
    if (socketFd >= 0) ::close(socketFd);
    return false;
}
}  // namespace

bool FirewallProbe::bindOnce(const NetAddress& address) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return failed("socket", fd);
    const int size = kReceiveBufferBytes;
    const int yes = 1;
    if (::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof(size)) != 0) return failed("setsockopt(SO_RCVBUF)", fd);
    if (::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &yes, sizeof(yes)) != 0)
        return failed("setsockopt(SO_BROADCAST)", fd);
    QOR_LOG("FirewallProbe::bindOnce", u"Binding to address: %s.", address.toString());
    if (::bind(fd, address.getSockAddr(), NetAddress::kSockAddrSize) != 0) return failed("bind", fd);
    NetAddress bound;
    socklen_t length = NetAddress::kSockAddrSize;
    ::getsockname(fd, bound.getSockAddr(), &length);
    QOR_LOG("FirewallProbe::bindOnce", u"Bound to address: %s.", bound.toString());
    ::close(fd);
    return true;
}
