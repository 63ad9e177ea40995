#include "ui/ScoreUploadData.h"

#include <cstring>

#include "engine/Md5.h"
#include "ui/GameConfiguration.h"
#include "ui/RecordBytes.h"

namespace {
constexpr std::size_t kDigestBytes = 16;
// Where the configuration record's pieces go: {source offset, target offset, bytes}.
struct Piece {
    std::size_t from, to, count;
};
constexpr Piece kPieces[] = {
    {GameConfiguration::kGameNameOffset, 16, 48},        // build name and version
    {GameConfiguration::kInstallationIdOffset, 96, 8},   // installation id and country code
    {GameConfiguration::kHighScoresOffset, 104, 14400},  // the five tables
};
static_assert(ScoreUploadData::kSize % 8 == 0);
}  // namespace

ScoreUploadData::ScoreUploadData(const GameConfiguration& configuration) {
    RecordBytes record(GameConfiguration::kSize);
    configuration.toBytes(record);
    for (const Piece& p : kPieces) std::memcpy(bytes.data() + p.to, record.data() + p.from, p.count);
    std::uint8_t digest[kDigestBytes];
    md5Keyed(digest, kSalt, bytes.data(), static_cast<int>(kSize));
    std::memcpy(bytes.data(), digest, kDigestBytes);
}
