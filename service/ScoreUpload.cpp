#include "ScoreUpload.h"

#include <cstring>

#include "Utf8Text.h"
#include "engine/Md5.h"

namespace {

constexpr std::size_t kGameNameOffset = 16;
constexpr std::size_t kVersionOffset = 48;
constexpr std::size_t kInstallationOffset = 96;
constexpr std::size_t kCountryOffset = 100;
constexpr std::size_t kNameOffset = 16;
constexpr std::size_t kNameSize = 256;
constexpr std::size_t kScoreOffset = 272;
constexpr std::size_t kTimeOffset = 280;

std::uint32_t readU32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

std::int64_t readS64(const std::uint8_t* p) {
    return static_cast<std::int64_t>(std::uint64_t(readU32(p)) | std::uint64_t(readU32(p + 4)) << 32);
}

// The field's text up to its NUL, or false when the field holds none.
bool fixedText(const std::uint8_t* field, std::size_t width, std::string& text) {
    const void* end = std::memchr(field, 0, width);
    if (!end) return false;
    text.assign(reinterpret_cast<const char*>(field), static_cast<const std::uint8_t*>(end) - field);
    return true;
}

bool digestMatches(const std::uint8_t* bytes, std::size_t size, const std::uint8_t* stored) {
    std::vector<std::uint8_t> copy(bytes, bytes + size);
    std::memset(copy.data(), 0, 16);
    std::uint8_t digest[16];
    md5Keyed(digest, ScoreUpload::kSalt, copy.data(), static_cast<int>(copy.size()));
    return md5Equal(digest, stored);
}

// Rows the game never signed: the default rows (all zero) and those entered without a
// digest (byte 0 is 1, the rest zero). They are skipped, not refused.
bool isUnsigned(const std::uint8_t* digest) {
    for (int i = 1; i < 16; ++i)
        if (digest[i] != 0) return false;
    return digest[0] == 0 || digest[0] == 1;
}

bool validCountry(const std::string& code) {
    if (code == "--") return true;
    return code.size() == 2 && code[0] >= 'A' && code[0] <= 'Z' && code[1] >= 'A' && code[1] <= 'Z';
}

}  // namespace

bool ScoreUpload::parse(std::span<const std::uint8_t> record, std::string& error) {
    entries.clear();
    if (record.size() != kRecordSize) {
        error = "The score record has " + std::to_string(record.size()) + " bytes; " + std::to_string(kRecordSize) +
                " were expected.";
        return false;
    }
    const std::uint8_t* bytes = record.data();
    if (!digestMatches(bytes, kRecordSize, bytes)) {
        error = "The score record's digest does not match its contents.";
        return false;
    }
    std::string gameName, version;
    if (!fixedText(bytes + kGameNameOffset, 32, gameName) || gameName != TORVANE_BUILD_NAME ||
        !fixedText(bytes + kVersionOffset, 16, version) || version != "2.79") {
        error = "The score record comes from another game or version.";
        return false;
    }
    installationId = readU32(bytes + kInstallationOffset);
    if (installationId == 0) {
        error = "The score record has no installation id.";
        return false;
    }
    if (!fixedText(bytes + kCountryOffset, 4, countryCode))
        countryCode.assign(reinterpret_cast<const char*>(bytes + kCountryOffset), 4);
    if (!validCountry(countryCode)) {
        error = "The score record's country code is not a country code.";
        return false;
    }
    for (int table = 0; table < kTableCount; ++table) {
        for (int place = 0; place < kEntriesPerTable; ++place) {
            const std::uint8_t* row =
                bytes + kEntriesOffset + (static_cast<std::size_t>(table) * kEntriesPerTable + place) * kEntrySize;
            if (isUnsigned(row)) continue;
            if (!digestMatches(row, kEntrySize, row)) {
                error = "Entry " + std::to_string(place + 1) + " of table " + std::to_string(table) +
                        " has a digest that does not match it.";
                entries.clear();
                return false;
            }
            Entry entry;
            entry.table = table;
            entry.place = place;
            std::memcpy(entry.digest.data(), row, 16);
            std::string raw;
            if (!fixedText(row + kNameOffset, kNameSize, raw))
                raw.assign(reinterpret_cast<const char*>(row + kNameOffset), kNameSize - 1);
            entry.name = Utf8Text::sanitize(raw);
            entry.score = static_cast<std::int32_t>(readU32(row + kScoreOffset));
            entry.time = readS64(row + kTimeOffset);
            entries.push_back(std::move(entry));
        }
    }
    return true;
}
