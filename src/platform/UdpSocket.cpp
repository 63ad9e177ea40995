#include "platform/UdpSocket.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace {
bool failed(int& lastError) {
    lastError = errno;
    return false;
}
}  // namespace

bool UdpSocket::open() {
    close();
    // Not inherited by the browser that a link item may start after the program.
    handle = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    return handle >= 0 || failed(lastError);
}

bool UdpSocket::setNonBlocking() {
    const int flags = ::fcntl(handle, F_GETFL, 0);
    return (flags >= 0 && ::fcntl(handle, F_SETFL, flags | O_NONBLOCK) == 0) || failed(lastError);
}

bool UdpSocket::setReceiveBufferSize(int bytes) {
    return ::setsockopt(handle, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes) == 0 || failed(lastError);
}

bool UdpSocket::setBroadcast(bool on) {
    const int value = on ? 1 : 0;
    return ::setsockopt(handle, SOL_SOCKET, SO_BROADCAST, &value, sizeof value) == 0 || failed(lastError);
}

bool UdpSocket::bind(const sockaddr_in& address) {
    return ::bind(handle, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 || failed(lastError);
}

bool UdpSocket::getLocalAddress(sockaddr_in& address) const {
    socklen_t size = sizeof address;
    return ::getsockname(handle, reinterpret_cast<sockaddr*>(&address), &size) == 0;
}

void UdpSocket::close() {
    if (handle >= 0) ::close(handle);
    handle = -1;
}
