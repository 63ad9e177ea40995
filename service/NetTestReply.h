#pragma once
// The framed answer to the game's connection test, little-endian:
//   u32 0x01020304, u32 payload length (total - 24), 16-byte MD5 of the payload, payload.
// The payload is settings text of the unnamed section: "masterServer=a.b.c.d:port" when
// an address is given, then "message=" and one line for the player.
#include <string>

class NetTestReply {
public:
    static constexpr std::uint32_t kMagic = 0x01020304;
    static constexpr std::size_t kHeaderSize = 24;

    // `masterServer` empty leaves the key out; `message` must be one line.
    static std::string build(const std::string& masterServer, const std::string& message);
};
