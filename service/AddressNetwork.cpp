#include "AddressNetwork.h"

#include <arpa/inet.h>

#include <functional>

namespace {

std::uint64_t bigEndian(const unsigned char* bytes, int count) {
    std::uint64_t value = 0;
    for (int i = 0; i < count; ++i) value = value << 8 | bytes[i];
    return value;
}

}  // namespace

AddressNetwork AddressNetwork::of(const std::string& address) {
    std::uint64_t bits = 0;
    std::uint8_t family = 0;
    in_addr v4{};
    in6_addr v6{};
    if (::inet_pton(AF_INET, address.c_str(), &v4) == 1) {
        bits = ntohl(v4.s_addr);
        family = 4;
    } else if (::inet_pton(AF_INET6, address.c_str(), &v6) == 1) {
        const bool mapped = IN6_IS_ADDR_V4MAPPED(&v6);
        bits = mapped ? bigEndian(v6.s6_addr + 12, 4) : bigEndian(v6.s6_addr, 8);
        family = mapped ? 4 : 6;
    } else {
        bits = std::hash<std::string>{}(address);
    }
    return {static_cast<std::uint32_t>(bits >> 32), static_cast<std::uint32_t>(bits), family};
}
