#pragma once
// How the service's tests and benchmarks open a TCP connection to a server on this
// machine's loopback (or at another address of this machine's own), as clients of one
// kind or another.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>

struct LoopbackConnection {
    const char* source = nullptr;       // an address of 127.0.0.0/8 to come from; any when null
    int receiveBuffer = 0;              // bytes the client's side holds unread at most; the system's when 0
    bool noDelay = false;               // each send goes at once, not held back for acknowledgements
    bool nonBlocking = false;           // the socket does not block, and its connect may still be under way
    const char* destination = nullptr;  // the server's IPv4 address; 127.0.0.1 when null
    // A blocking receive that has waited this long for a byte gives up (with EAGAIN), so
    // that an answer that never comes fails a test rather than holding it; never when 0.
    std::chrono::seconds receiveTimeout{0};

    // The connected socket, owned by the caller, or -1 on failure. The receive buffer is
    // set before the connect, so that the window the client offers is that small from the
    // start; a source's port is picked at the connect, so that thousands of connections
    // from one address fit.
    int to(int port) const {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | (nonBlocking ? SOCK_NONBLOCK : 0), 0);
        if (fd < 0) return -1;
        int yes = 1;
        if (noDelay) ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        if (receiveBuffer > 0) ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        if (receiveTimeout.count() > 0) {
            const timeval timeout{static_cast<time_t>(receiveTimeout.count()), 0};
            ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        }
        if (source) {
            ::setsockopt(fd, IPPROTO_IP, IP_BIND_ADDRESS_NO_PORT, &yes, sizeof yes);
            sockaddr_in from{};
            from.sin_family = AF_INET;
            if (::inet_pton(AF_INET, source, &from.sin_addr) != 1 ||
                ::bind(fd, reinterpret_cast<const sockaddr*>(&from), sizeof from) != 0)
                return fail(fd);
        }
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (destination && ::inet_pton(AF_INET, destination, &address.sin_addr) != 1) return fail(fd);
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 ||
            (nonBlocking && errno == EINPROGRESS))
            return fd;
        return fail(fd);
    }

private:
    static int fail(int fd) {
        ::close(fd);
        return -1;
    }
};
