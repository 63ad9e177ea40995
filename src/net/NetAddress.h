#pragma once
// An IPv4 socket address and port. The object is exactly the system's IPv4 socket
// address (16 bytes: the address family AF_INET in host order, the port and the address
// in network byte order, eight zero bytes), so that it goes to the socket calls as it is
// and the configuration record can hold it byte for byte.
//
// Setting an address from a host name asks the system's resolver, which may block while
// it asks the network. Everything else is plain arithmetic. Main thread only.
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdint>
#include <string>

class NetAddress {
public:
    static constexpr std::uint32_t kAny = 0x00000000u;       // 0.0.0.0, host order
    static constexpr std::uint32_t kLoopback = 0x7F000001u;  // 127.0.0.1, host order

    // 0.0.0.0 port 0.
    NetAddress();
    // `address` and `port` in host order.
    NetAddress(std::uint32_t address, std::uint16_t port);

    // `host` is "localhost", a dotted address or a name for the resolver; the port is in
    // host order. A host that does not resolve gives 127.0.0.1 port 0.
    void setBoth(std::uint16_t port, const std::u16string& host);
    // "host:port" or "host" (port 0): the text up to the first ':' is the host, the
    // number after it (optionally signed) is taken modulo 65536, as a 16-bit port field
    // holds it; no number gives port 0. Any text is safe.
    void parse(const std::u16string& text);
    // "a.b.c.d:port", the octets most significant first.
    std::u16string toString() const;

    std::uint32_t getAddress() const;  // host order
    std::uint16_t getPort() const;     // host order
    const sockaddr* getSockAddr() const { return reinterpret_cast<const sockaddr*>(&address); }
    sockaddr* getSockAddr() { return reinterpret_cast<sockaddr*>(&address); }
    static constexpr socklen_t kSockAddrSize = sizeof(sockaddr_in);

    // The same address and port (the family is always AF_INET).
    bool operator==(const NetAddress& other) const;

private:
    sockaddr_in address;
};

static_assert(sizeof(NetAddress) == 16, "NetAddress is stored and passed as the 16-byte IPv4 socket address");
