#pragma once
// The record the high-score upload sends: the identity of the installation and the five
// local high-score tables, signed with a salted MD5 digest. 14512 bytes, little-endian:
//   0  digest (16)      16 gameName (32)    48 version (16)     64 reserved, zero (32)
//   96 installationId   100 countryCode (4) 104 highScores (5 x 10 entries of 288)
//   14504 reserved, zero (8)
// Bytes 16 to 14503 are the configuration record's bytes 0 to 14487 as it stores them,
// apart from the reserved field. The digest covers the salt (4 bytes, least significant
// first) and then the whole record with its digest field zero.
#include <array>
#include <cstdint>

class GameConfiguration;

class ScoreUploadData {
public:
    static constexpr std::uint32_t kSize = 14512;
    static constexpr std::uint32_t kSalt = 0x3C9A71E4;

    // Builds and signs the record from `configuration`.
    explicit ScoreUploadData(const GameConfiguration& configuration);

    std::array<std::uint8_t, kSize> bytes{};
};
