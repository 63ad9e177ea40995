#pragma once
// The connection test's framed reply, little-endian: the magic 0x01020304, the payload
// length L (the total length - 24), the MD5 digest of the payload, then L bytes of INI
// text whose unnamed section may hold "masterServer" ("a.b.c.d:port") and "message"
// (one line for the player). The bytes come from the network: every length is checked.
#include <cstdint>
#include <optional>
#include <string>

#include "net/NetAddress.h"

class ConnectionTestReply {
public:
    static constexpr std::uint32_t kMagic = 0x01020304;
    static constexpr std::uint32_t kHeaderSize = 24;

    // Whether the bytes begin with the magic (at least 4 bytes).
    static bool isFramed(const std::uint8_t* bytes, std::uint32_t size);
    // Decodes a framed reply; false when the length or the digest does not match.
    bool decode(const std::uint8_t* bytes, std::uint32_t size);
    // "%d.%d.%d.%d:%d" exactly (octets 0..255); anything else (a host name) gives nothing.
    static std::optional<NetAddress> readAddress(const std::u16string& text);

    std::optional<NetAddress> masterServer;  // when the payload named one that reads
    std::optional<std::u16string> message;
};
