#pragma once
// What the kernel holds at either end of a loopback connection whose server runs in the
// test's own process: for tests that turn the server's clock by hand, and must let the
// kernels' exchange of what was sent and taken finish before they move it.
#include <arpa/inet.h>
#include <linux/sockios.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

struct ServerEnd {
    static bool sameAddress(const sockaddr_storage& a, socklen_t aSize, const sockaddr_storage& b, socklen_t bSize) {
        return aSize == bSize && std::memcmp(&a, &b, aSize) == 0;
    }

    // The descriptor of the server's end of `client`, found among this process's own; -1 when
    // there is none (the server has closed it).
    static int of(int client) {
        sockaddr_storage local{}, peer{};
        socklen_t localSize = sizeof local, peerSize = sizeof peer;
        if (::getsockname(client, reinterpret_cast<sockaddr*>(&local), &localSize) != 0 ||
            ::getpeername(client, reinterpret_cast<sockaddr*>(&peer), &peerSize) != 0)
            return -1;
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", ec)) {
            const int fd = std::atoi(entry.path().filename().c_str());
            sockaddr_storage theirLocal{}, theirPeer{};
            socklen_t theirLocalSize = sizeof theirLocal, theirPeerSize = sizeof theirPeer;
            if (::getsockname(fd, reinterpret_cast<sockaddr*>(&theirLocal), &theirLocalSize) == 0 &&
                ::getpeername(fd, reinterpret_cast<sockaddr*>(&theirPeer), &theirPeerSize) == 0 &&
                sameAddress(theirLocal, theirLocalSize, peer, peerSize) &&
                sameAddress(theirPeer, theirPeerSize, local, localSize))
                return fd;
        }
        return -1;
    }

    // Bytes sent on `fd`, or still to be sent, that its peer's side has not yet acknowledged.
    static int unacknowledged(int fd) {
        int bytes = 0;
        return ::ioctl(fd, SIOCOUTQ, &bytes) == 0 ? bytes : 0;
    }

    // Bytes sent on `fd` that its peer's side has not yet acknowledged.
    static int inFlight(int fd) {
        int unsent = 0;
        return ::ioctl(fd, SIOCOUTQNSD, &unsent) == 0 ? unacknowledged(fd) - unsent : 0;
    }

    // Bytes that have come on `fd` and are not yet read.
    static int unread(int fd) {
        int bytes = 0;
        return ::ioctl(fd, SIOCINQ, &bytes) == 0 ? bytes : 0;
    }
};
