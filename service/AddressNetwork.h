#pragma once
// The network that a client's address is counted in, wherever the service counts clients
// by address (connections open at once, crash reports on their way, the hourly limits):
// one rule, so that no count can be dodged by moving within a network that another count
// sees as one.
//
// An IPv4 address is its own network: a provider's neighbours in a /24 are strangers. An
// IPv6 address counts by its /64, one subscriber's share, whose addresses a single machine
// may rotate through at will. An IPv4 address written as IPv6 (`::ffff:192.0.2.7`, as a
// socket that takes both families reports an IPv4 client) is that IPv4 address. Text that
// is no address (from a caller other than a socket) is known by its hash.
//
// The 64 bits are kept in halves, so that the value aligns to 4 bytes and packs tightly
// into the tables that key by it.
#include <cstdint>
#include <string>
#include <tuple>

struct AddressNetwork {
    std::uint32_t high = 0;   // the bits' upper half: an IPv4 address's are 0
    std::uint32_t low = 0;    // the lower half: an IPv4 address whole
    std::uint8_t family = 0;  // 4, 6, or 0 for text that is no address

    // The network that `address` (in the text of inet_ntop, or any text) counts in.
    static AddressNetwork of(const std::string& address);

    bool operator==(const AddressNetwork&) const = default;
    bool operator<(const AddressNetwork& other) const {
        return std::tie(family, high, low) < std::tie(other.family, other.high, other.low);
    }
};
