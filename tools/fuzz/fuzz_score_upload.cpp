// The web service's score upload reader: any bytes must be refused or read without a
// fault. Signatures cannot be guessed, so each input is also signed here, row by row and
// as a whole, to reach the reading of names, scores and country codes behind the checks;
// whatever it reads must be valid, single-line text that the page can escape.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ScoreUpload.h"
#include "Utf8Text.h"
#include "engine/Md5.h"

namespace {

void check(const ScoreUpload& upload) {
    for (const ScoreUpload::Entry& entry : upload.entries) {
        if (Utf8Text::sanitize(entry.name) != entry.name) std::abort();
        if (Utf8Text::escapeHtml(entry.name).find_first_of("<>\"'") != std::string::npos) std::abort();
        if (entry.table < 0 || entry.table >= ScoreUpload::kTableCount) std::abort();
    }
}

// Signs every row whose first digest byte is odd, then the record.
std::vector<std::uint8_t> signedCopy(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> record(ScoreUpload::kRecordSize, 0);
    std::memcpy(record.data(), data, std::min(size, record.size()));
    for (std::size_t row = 0; row < ScoreUpload::kTableCount * ScoreUpload::kEntriesPerTable; ++row) {
        std::uint8_t* entry = &record[ScoreUpload::kEntriesOffset + row * ScoreUpload::kEntrySize];
        if ((entry[0] & 1) == 0) continue;
        std::memset(entry, 0, 16);
        md5Keyed(entry, ScoreUpload::kSalt, entry, static_cast<int>(ScoreUpload::kEntrySize));
    }
    std::memset(record.data(), 0, 16);
    md5Keyed(record.data(), ScoreUpload::kSalt, record.data(), static_cast<int>(record.size()));
    return record;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ScoreUpload upload;
    std::string error;
    if (upload.parse({data, size}, error)) check(upload);
    const std::vector<std::uint8_t> record = signedCopy(data, size);
    if (upload.parse(record, error)) check(upload);
    return 0;
}
