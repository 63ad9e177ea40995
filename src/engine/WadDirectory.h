#pragma once
// The on-disk layout of a data archive, read without trusting a single byte of it.
//
//   offset 0   i32  version, 2
//   offset 4   i32  count of directory entries
//   offset 8   count x 92-byte entries: an 80-byte UTF-8 name field ended by a NUL
//              (scrambled, every byte XOR 0xB3, when its first byte has bit 0x80 set),
//              then u32 offset, u32 size, u32 stored size (all little-endian)
//   then the entries' bytes: stored as they are when stored size == size, else a
//   zlib stream of stored-size bytes that inflates to exactly size bytes.
//
// These functions report damage instead of acting on it; the file manager decides
// what is fatal.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/WadEntry.h"

namespace WadDirectory {
inline constexpr std::int32_t kVersion = 2;
inline constexpr std::uint32_t kHeaderBytes = 8;
inline constexpr std::uint32_t kEntryBytes = 92;
inline constexpr std::uint32_t kNameBytes = 80;
inline constexpr std::uint8_t kScrambleKey = 0xB3;
// The largest file an entry may hold; a directory asking for more is damaged.
inline constexpr std::uint32_t kMaxEntrySize = 1u << 30;
// Deflate cannot expand data more than about 1032 times; a compressed entry claiming
// more is damaged, whatever its stream would say.
inline constexpr std::uint64_t kMaxInflateRatio = 1032;

enum class Status { kOk, kBadVersion, kDamaged };

// Reads the 8-byte header of an archive of `fileSize` bytes. kDamaged when the file
// is too short or the directory cannot fit in it; `why` then says what is wrong.
Status readHeader(const std::uint8_t* header, std::uint32_t fileSize, std::int32_t& version, std::int32_t& count,
                  std::u16string& why);

// Decodes `count` 92-byte entries from `directory` and checks each against the file:
// its bytes inside the file and a plausible size. Names are relative to the archive;
// `wadName` is copied into every entry.
Status parseEntries(const std::uint8_t* directory, std::int32_t count, std::uint32_t fileSize,
                    const std::u16string& wadName, std::vector<WadEntry>& entries, std::u16string& why);

// The name held in one 80-byte name field (unscrambling it when it is scrambled).
std::u16string decodeName(const std::uint8_t* field);

// Fills a 92-byte entry: the name with its NUL over `filler` (80 bytes), all XOR
// 0xB3, then the three numbers. False when the UTF-8 name does not fit with its NUL
// or begins with a non-ASCII character (which could not be told apart when read).
bool encodeEntry(const std::u16string& name, const std::uint8_t* filler, std::uint32_t offset, std::uint32_t size,
                 std::uint32_t storedSize, std::uint8_t* out);

enum class InflateStatus { kOk, kFailed, kWrongSize };
// Inflates a zlib stream into exactly `size` bytes at `out`.
InflateStatus inflateEntry(const std::uint8_t* stored, std::uint32_t storedSize, std::uint8_t* out, std::uint32_t size);

void putU32(std::uint8_t* at, std::uint32_t value);
std::uint32_t getU32(const std::uint8_t* at);
}  // namespace WadDirectory
