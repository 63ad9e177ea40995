#pragma once
// Test support for the connection test's replies: the bytes of a framed reply (the magic,
// the payload's length, its MD5 digest, the payload) as the web service sends them.
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/Md5.h"

// The frame of `payload` (INI text); with goodDigest false, one bit of the digest is wrong.
inline std::string connectionTestFrame(const std::string& payload, bool goodDigest = true) {
    std::string bytes = "\x04\x03\x02\x01" + std::string(4, '\0') + std::string(16, '\0') + payload;
    const auto length = static_cast<std::uint32_t>(payload.size());
    std::memcpy(bytes.data() + 4, &length, 4);
    md5Buffer(reinterpret_cast<std::uint8_t*>(bytes.data() + 8), payload.data(), static_cast<int>(payload.size()));
    if (!goodDigest) bytes[8] ^= 1;
    return bytes;
}
