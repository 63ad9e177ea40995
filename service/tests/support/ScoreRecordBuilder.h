#pragma once
// Signed score records as the game uploads them, for tests and the load benchmark.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "ScoreUpload.h"
#include "engine/Md5.h"

class ScoreRecordBuilder {
public:
    explicit ScoreRecordBuilder(std::uint32_t installationId, const char* country = "DE")
        : bytes_(ScoreUpload::kRecordSize, 0) {
        std::memcpy(&bytes_[16], TORVANE_BUILD_NAME, std::strlen(TORVANE_BUILD_NAME));
        std::memcpy(&bytes_[48], "2.79", 4);
        putU32(96, installationId);
        std::memcpy(&bytes_[100], country, std::strlen(country));
    }

    // Writes a signed entry into `table` at `place`; the record is signed by `bytes()`.
    ScoreRecordBuilder& entry(int table, int place, const std::string& name, std::int32_t score,
                              std::int64_t time = 1700000000) {
        const std::size_t at = offset(table, place);
        std::memset(&bytes_[at], 0, ScoreUpload::kEntrySize);
        std::memcpy(&bytes_[at + 16], name.data(), std::min<std::size_t>(name.size(), 255));
        putU32(at + 272, static_cast<std::uint32_t>(score));
        putU32(at + 280, static_cast<std::uint32_t>(time));
        putU32(at + 284, static_cast<std::uint32_t>(static_cast<std::uint64_t>(time) >> 32));
        md5Keyed(&bytes_[at], ScoreUpload::kSalt, &bytes_[at], static_cast<int>(ScoreUpload::kEntrySize));
        return *this;
    }

    static std::size_t offset(int table, int place) {
        return ScoreUpload::kEntriesOffset + (table * ScoreUpload::kEntriesPerTable + place) * ScoreUpload::kEntrySize;
    }

    // Raw access, for damaging a record after signing it.
    std::vector<std::uint8_t>& raw() { return bytes_; }

    // The record, signed as a whole.
    std::string bytes() {
        std::memset(bytes_.data(), 0, 16);
        md5Keyed(bytes_.data(), ScoreUpload::kSalt, bytes_.data(), static_cast<int>(bytes_.size()));
        return std::string(bytes_.begin(), bytes_.end());
    }

private:
    void putU32(std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) bytes_[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }

    std::vector<std::uint8_t> bytes_;
};
