#pragma once
// One row of a local high-score table: 288 bytes in the configuration record.
//
//   offset 0    16 bytes  MD5 digest of the entry, or zero; byte 0 is 1 for an entry
//                         inserted without a digest
//   offset 16   256 bytes the player's name, UTF-8, NUL-terminated
//   offset 272  s32       the rating in thousandths of a percent (100000 = 100.000%)
//   offset 276  u32       reserved, zero
//   offset 280  s64       when it was made, seconds since 1970-01-01 00:00 UTC
#include <cstddef>
#include <cstdint>

#include "engine/FixedString.h"

using FixedString256 = FixedString<256>;

class RecordBytes;

struct HIGHSCOREENTRY {
    static constexpr std::size_t kSize = 288;
    static constexpr std::size_t kNameOffset = 16;
    static constexpr std::size_t kScoreOffset = 272;
    static constexpr std::size_t kReservedOffset = 276;
    static constexpr std::size_t kTimeOffset = 280;

    // Writes the entry's 288 bytes at `offset` of `record`.
    void write(RecordBytes& record, std::size_t offset) const;
    // Reads them back; a name without a NUL in its field gets one in its last byte.
    void read(const RecordBytes& record, std::size_t offset);

    std::uint8_t digest[16] = {};
    FixedString256 name;
    std::int32_t score = 0;
    std::uint32_t reserved = 0;
    std::int64_t time = 0;
};
