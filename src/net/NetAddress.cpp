#include "net/NetAddress.h"

#include <arpa/inet.h>
#include <netdb.h>

#include <cstring>

#include "engine/ErrorManager.h"
#include "engine/Format.h"
#include "engine/Strings.h"

namespace {
// The number at the start of `text` as "%d" reads it (blanks, a sign, digits), kept to
// the 16 bits a port holds. Arithmetic modulo 2^16 gives the same low bits as a wider
// number would, however many digits the text has.
std::uint16_t readPort(std::u16string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    std::uint16_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = static_cast<std::uint16_t>(value * 10u + static_cast<unsigned>(text[i] - u'0'));
    return negative ? static_cast<std::uint16_t>(0u - value) : value;
}

// The first IPv4 address the resolver gives for `host` (host order), or false.
bool resolve(const std::string& host, std::uint32_t& result) {
    // A name with a null in it would be cut short by the resolver and name another host.
    if (host.find('\0') != std::string::npos) return false;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) return false;
    QOR_ASSERT("NetAddress::setBoth", found->ai_family == AF_INET && found->ai_addrlen >= sizeof(sockaddr_in));
    sockaddr_in first{};
    std::memcpy(&first, found->ai_addr, sizeof first);
    freeaddrinfo(found);
    result = ntohl(first.sin_addr.s_addr);
    return true;
}
}  // namespace

NetAddress::NetAddress() : NetAddress(kAny, 0) {}

NetAddress::NetAddress(std::uint32_t host, std::uint16_t port) : address{} {
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(host);
}

void NetAddress::setBoth(std::uint16_t port, const std::u16string& host) {
    *this = NetAddress();
    if (host == u"localhost") {
        *this = NetAddress(kLoopback, port);
        return;
    }
    std::uint32_t resolved = 0;
    if (resolve(wideToUtf8(host), resolved))
        *this = NetAddress(resolved, port);
    else
        setBoth(0, u"localhost");
}

void NetAddress::parse(const std::u16string& text) {
    const std::size_t colon = text.find(u':');
    if (colon == std::u16string::npos) {
        setBoth(0, text);
        return;
    }
    setBoth(readPort(std::u16string_view(text).substr(colon + 1)), text.substr(0, colon));
}

std::u16string NetAddress::toString() const {
    const std::uint32_t a = getAddress();
    return formatString(u"%d.%d.%d.%d:%d", static_cast<int>(a >> 24), static_cast<int>((a >> 16) & 0xFF),
                        static_cast<int>((a >> 8) & 0xFF), static_cast<int>(a & 0xFF), static_cast<int>(getPort()));
}

std::uint32_t NetAddress::getAddress() const { return ntohl(address.sin_addr.s_addr); }

std::uint16_t NetAddress::getPort() const { return ntohs(address.sin_port); }

bool NetAddress::operator==(const NetAddress& other) const {
    return address.sin_addr.s_addr == other.address.sin_addr.s_addr && address.sin_port == other.address.sin_port;
}
