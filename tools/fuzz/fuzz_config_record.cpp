// The configuration record: any record bytes read into the configuration come out of
// clampToValidRanges with every field in its range, and the clamped record is a fixed
// point (written and read again it stays the same bytes).
#include <cstdint>
#include <cstring>

#include "FuzzDataFolder.h"
#include "ui/GameConfiguration.h"
#include "ui/RecordBytes.h"

namespace {
// Made once and never destroyed, so that it never saves.
GameConfiguration& configuration() {
    static GameConfiguration* made = [] {
        useFuzzDataFolder();
        return new GameConfiguration();
    }();
    return *made;
}

bool inRange(const GameConfiguration& c) {
    bool ok = c.maxFps >= 25 && c.maxFps <= 125 && c.audioQuality >= 0 && c.audioQuality <= 2 && c.soundVolume >= 0 &&
              c.soundVolume <= 24 && c.musicVolume >= 0 && c.musicVolume <= 24 && c.difficulty >= 0 &&
              c.difficulty <= 4 && c.country >= 0 && c.country <= GameConfiguration::kLastCountry;
    for (const auto& row : c.keys)
        for (std::int32_t key : row) ok = ok && key >= 0 && key < GameConfiguration::kInputCodes;
    ok = ok && std::memchr(c.gameName.bytes, 0, sizeof c.gameName.bytes) &&
         std::memchr(c.version.bytes, 0, sizeof c.version.bytes);
    return ok;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    GameConfiguration& c = configuration();
    RecordBytes record(GameConfiguration::kSize);
    if (size) std::memcpy(record.data(), data, std::min<std::size_t>(size, record.size()));
    c.fromBytes(record);
    c.clampToValidRanges();
    if (!inRange(c)) __builtin_trap();
    RecordBytes once(GameConfiguration::kSize), twice(GameConfiguration::kSize);
    c.toBytes(once);
    c.fromBytes(once);
    c.clampToValidRanges();
    c.toBytes(twice);
    if (std::memcmp(once.data(), twice.data(), once.size()) != 0) __builtin_trap();
    return 0;
}
