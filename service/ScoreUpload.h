#pragma once
// A high-score upload as the game sends it: one fixed-size, little-endian record that
// holds the installation's identity and its five local tables, signed as a whole and
// entry by entry with a salted MD5 digest.
//
//   offset 0      16 bytes   digest of the salt and the record with this field zeroed
//   offset 16     char[32]   build name, NUL-terminated ("Torvane2Xmas")
//   offset 48     char[16]   version text ("2.79")
//   offset 64     32 bytes   reserved
//   offset 96     u32        installation id (never 0)
//   offset 100    char[4]    country code: two letters A-Z, or "--"; NUL-padded
//   offset 104    5 x 10 x 288-byte entries, table after table, best first:
//                   16-byte digest (salt + entry with digest zeroed; all zero for an
//                   unused row, 01 00 .. 00 for a row entered without one), 256-byte
//                   UTF-8 name, s32 score, u32 reserved, s64 time
//   offset 14504  8 bytes    reserved
//
// The record comes from the network: `parse` bounds every read and never trusts a byte.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

class ScoreUpload {
public:
    static constexpr std::size_t kRecordSize = 14512;
    static constexpr std::uint32_t kSalt = 0x3C9A71E4;
    static constexpr int kTableCount = 5;
    static constexpr int kEntriesPerTable = 10;
    static constexpr std::size_t kEntrySize = 288;
    static constexpr std::size_t kEntriesOffset = 104;

    // One signed entry of a table.
    struct Entry {
        int table = 0;                          // 0 Duel .. 4 Free-For-All
        int place = 0;                          // 0..9 in the uploaded table, 0 the best
        std::array<std::uint8_t, 16> digest{};  // the entry's own digest, its identity
        std::string name;                       // valid UTF-8 (bad sequences became U+FFFD)
        std::int32_t score = 0;                 // thousandths of a percent
        std::int64_t time = 0;                  // seconds since 1970-01-01 UTC
    };

    // Checks and decodes `record`. On failure returns false and leaves a sentence for the
    // client in `error`; nothing of the record is then to be kept.
    bool parse(std::span<const std::uint8_t> record, std::string& error);

    std::uint32_t installationId = 0;
    std::string countryCode;     // "AF", ... or "--"
    std::vector<Entry> entries;  // signed entries only, in record order
};
