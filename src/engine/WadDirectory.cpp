#include "engine/WadDirectory.h"

#include <zlib.h>

#include <cstring>

#include "engine/Format.h"
#include "engine/Strings.h"

namespace WadDirectory {

void putU32(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t getU32(const std::uint8_t* at) {
    return at[0] | (at[1] << 8) | (at[2] << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}

Status readHeader(const std::uint8_t* header, std::uint32_t fileSize, std::int32_t& version, std::int32_t& count,
                  std::u16string& why) {
    version = count = 0;
    if (fileSize < kHeaderBytes) {
        why = formatString(u"the file is only %u bytes long", fileSize);
        return Status::kDamaged;
    }
    version = static_cast<std::int32_t>(getU32(header));
    if (version != kVersion) return Status::kBadVersion;
    count = static_cast<std::int32_t>(getU32(header + 4));
    const std::uint64_t directoryEnd = kHeaderBytes + std::uint64_t{kEntryBytes} * static_cast<std::uint32_t>(count);
    if (count < 0 || directoryEnd > fileSize) {
        why = formatString(u"a directory of %d entries does not fit in %u bytes", count, fileSize);
        return Status::kDamaged;
    }
    return Status::kOk;
}

std::u16string decodeName(const std::uint8_t* field) {
    std::uint8_t plain[kNameBytes];
    const bool scrambled = field[0] & 0x80;
    for (std::uint32_t i = 0; i < kNameBytes; ++i) plain[i] = scrambled ? field[i] ^ kScrambleKey : field[i];
    const void* nul = std::memchr(plain, 0, kNameBytes);
    const std::size_t length = nul ? static_cast<const std::uint8_t*>(nul) - plain : kNameBytes;
    return utf8ToWide(std::string_view(reinterpret_cast<const char*>(plain), length));
}

namespace {
// Why an entry cannot be what its directory says, or empty when it can.
std::u16string checkEntry(const WadEntry& e, std::uint32_t fileSize) {
    if (std::uint64_t{e.offset} + e.storedSize > fileSize)
        return formatString(u"entry '%s' (%u bytes at %u) lies outside the file", e.filename, e.storedSize, e.offset);
    if (e.size > kMaxEntrySize) return formatString(u"entry '%s' claims %u bytes", e.filename, e.size);
    if (e.storedSize != e.size && e.size > e.storedSize * kMaxInflateRatio + 64)
        return formatString(u"entry '%s' cannot inflate from %u to %u bytes", e.filename, e.storedSize, e.size);
    return {};
}
}  // namespace

Status parseEntries(const std::uint8_t* directory, std::int32_t count, std::uint32_t fileSize,
                    const std::u16string& wadName, std::vector<WadEntry>& entries, std::u16string& why) {
    entries.clear();
    entries.reserve(static_cast<std::size_t>(count > 0 ? count : 0));
    for (std::int32_t i = 0; i < count; ++i) {
        const std::uint8_t* raw = directory + std::size_t{kEntryBytes} * static_cast<std::size_t>(i);
        WadEntry e;
        e.filename = decodeName(raw);
        e.wadName = wadName;
        e.offset = getU32(raw + kNameBytes);
        e.size = getU32(raw + kNameBytes + 4);
        e.storedSize = getU32(raw + kNameBytes + 8);
        why = checkEntry(e, fileSize);
        if (!why.empty()) return Status::kDamaged;
        entries.push_back(std::move(e));
    }
    return Status::kOk;
}

bool encodeEntry(const std::u16string& name, const std::uint8_t* filler, std::uint32_t offset, std::uint32_t size,
                 std::uint32_t storedSize, std::uint8_t* out) {
    const std::string utf8 = wideToUtf8(name);
    // A name must fit with its NUL, and must not begin with a byte that has bit 0x80
    // set: scrambled, that byte would lose the bit that tells readers to unscramble.
    if (utf8.size() >= kNameBytes || (!utf8.empty() && (utf8[0] & 0x80))) return false;
    std::memcpy(out, filler, kNameBytes);
    std::memcpy(out, utf8.c_str(), utf8.size() + 1);
    for (std::uint32_t i = 0; i < kNameBytes; ++i) out[i] ^= kScrambleKey;
    putU32(out + kNameBytes, offset);
    putU32(out + kNameBytes + 4, size);
    putU32(out + kNameBytes + 8, storedSize);
    return true;
}

InflateStatus inflateEntry(const std::uint8_t* stored, std::uint32_t storedSize, std::uint8_t* out,
                           std::uint32_t size) {
    uLongf produced = size;
    if (uncompress(out, &produced, stored, storedSize) != Z_OK) return InflateStatus::kFailed;
    return produced == size ? InflateStatus::kOk : InflateStatus::kWrongSize;
}

}  // namespace WadDirectory
