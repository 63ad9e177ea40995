#include "ui/GameConfiguration.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <ctime>

#include "engine/Md5.h"
#include "engine/Random.h"
#include "engine/SystemHelpers.h"
#include "ui/RecordBytes.h"
#include "ui/UserFile.h"

namespace {
constexpr std::int32_t kDefaultKeys[GameConfiguration::kKeyRows][GameConfiguration::kPlayers] = {
    {203, 30}, {205, 32}, {200, 17}, {208, 45}, {57, 42}, {28, 29}};
constexpr std::int32_t kDefaultRuleSlotsA[2] = {5, 3};
constexpr std::int32_t kDefaultRuleSlotsB[4] = {2, 12, 12, 12};
constexpr std::uint8_t kDefaultRuleFlags[2] = {1, 0};
constexpr std::int32_t kDefaultNetworkSlots[3] = {0, 2, 2};
constexpr std::int32_t kDefaultGameModeId = 1;
constexpr float kDefaultCountryPosition[3] = {0.0f, 0.0f, -1.0f};

std::int64_t now() { return static_cast<std::int64_t>(std::time(nullptr)); }

// Two draws of the shared generator: the second in the high half, the first in the low.
std::uint32_t makeRandomId() {
    const std::uint32_t low = Random::next();
    const std::uint32_t high = Random::next();
    return high << 16 | low;
}

std::size_t entryOffset(int table, int entry) {
    return GameConfiguration::kHighScoresOffset + GameConfiguration::kTableBytes * static_cast<std::size_t>(table) +
           HIGHSCOREENTRY::kSize * static_cast<std::size_t>(entry);
}

std::uint8_t asSwitch(std::uint8_t value) { return value ? 1 : 0; }

// A text field read from outside ends inside its bytes.
void terminate(std::uint8_t* bytes, std::size_t size) {
    if (!std::memchr(bytes, 0, size)) bytes[size - 1] = 0;
}
}  // namespace

GameConfiguration::GameConfiguration() {
    masterServer.sin_family = AF_INET;
    for (auto& table : highScores)
        for (auto& entry : table) entry.time = now();
    reset();
    load();
}

GameConfiguration::~GameConfiguration() { save(); }

void GameConfiguration::reset() {
    gameName = {};
    version = {};
    gameName.assign(kBuildName);
    version.assign(UserFile::kVersion);
    installationId = 0;
    std::memset(countryCode, 0, sizeof countryCode);
    countryCode[0] = countryCode[1] = '-';
    for (auto& table : highScores)
        for (auto& entry : table) entry = HIGHSCOREENTRY{};
    resetHighScores();
    detail = 1;
    maxFps = 100;
    bFullScreen = bAllowLetterbox = bBilinearFilter = bUseVSync = 1;
    bShowFps = 0;
    audioQuality = 1;
    soundVolume = 24;
    musicVolume = 15;
    bInGameMusic = 1;
    bMuteAudio = 0;
    bAllowCheats = 0;
    bInGameHelp = 1;
    difficulty = 2;
    std::copy(std::begin(kDefaultRuleSlotsA), std::end(kDefaultRuleSlotsA), ruleSlotsA);
    duelOpponent = 2;
    invasionPlayers = 0;
    gameModeId = kDefaultGameModeId;
    std::copy(std::begin(kDefaultRuleSlotsB), std::end(kDefaultRuleSlotsB), ruleSlotsB);
    std::copy(std::begin(kDefaultRuleFlags), std::end(kDefaultRuleFlags), ruleFlags);
    std::memset(mutators, 0, sizeof mutators);
    bNetworkWizardDone = 0;
    masterServer = sockaddr_in{};
    masterServer.sin_family = AF_INET;
    std::copy(std::begin(kDefaultNetworkSlots), std::end(kDefaultNetworkSlots), networkSlots);
    country = 0;
    std::copy(std::begin(kDefaultCountryPosition), std::end(kDefaultCountryPosition), countryPosition);
    std::memcpy(keys, kDefaultKeys, sizeof keys);
    bNameRequested = 1;
}

bool GameConfiguration::load() {
    RecordBytes record(kSize);
    const bool loaded = UserFile::load(record.data(), kSize, getHighScoreFileName());
    if (loaded) {
        fromBytes(record);
        clampToValidRanges();
    }
    // Not saved until the next save, like every other change.
    if (installationId == 0) installationId = makeRandomId();
    return loaded;
}

bool GameConfiguration::save() const {
    RecordBytes record(kSize);
    toBytes(record);
    return UserFile::save(record.data(), kSize, getHighScoreFileName());
}

void GameConfiguration::resetHighScores() {
    const std::int64_t t = now();
    for (auto& table : highScores) {
        for (int i = 0; i < kEntries; ++i) {
            HIGHSCOREENTRY& entry = table[i];
            // Byte 0 (the no-digest mark) stays as it was.
            std::fill(entry.digest + 1, entry.digest + 16, 0);
            entry.name.assign(u"");
            entry.score = 20000 - 2000 * i;
            entry.time = t;
        }
    }
}

int GameConfiguration::insertScore(int table, int score, bool withDigest, const std::u16string& name) {
    if (table < 0 || table >= kTables) return -1;  // no such table: nothing to enter
    HIGHSCOREENTRY* rows = highScores[table];
    int place = 0;
    while (place < kEntries && rows[place].score >= score) ++place;
    if (place == kEntries) return -1;
    for (int i = kEntries - 1; i > place; --i) rows[i] = rows[i - 1];
    HIGHSCOREENTRY& entry = rows[place];
    std::memset(entry.digest, 0, sizeof entry.digest);
    // Bytes after the new name's NUL keep the moved entry's bytes: they count in the digest.
    entry.name.assign(name);
    entry.score = score;
    entry.time = now();
    if (withDigest) {
        RecordBytes bytes(HIGHSCOREENTRY::kSize);
        entry.write(bytes, 0);
        md5Keyed(entry.digest, kScoreSalt, bytes.data(), static_cast<int>(bytes.size()));
    } else {
        entry.digest[0] = 1;
    }
    return place;
}

void GameConfiguration::unbindKey(int code) {
    for (auto& row : keys)
        for (auto& key : row)
            if (key == code) key = 0;
}

void GameConfiguration::toBytes(RecordBytes& r) const {
    r.putBytes(kGameNameOffset, gameName.bytes, sizeof gameName.bytes);
    r.putBytes(kVersionOffset, version.bytes, sizeof version.bytes);
    r.putU32(kInstallationIdOffset, installationId);
    r.putBytes(kCountryCodeOffset, countryCode, sizeof countryCode);
    for (int t = 0; t < kTables; ++t)
        for (int i = 0; i < kEntries; ++i) highScores[t][i].write(r, entryOffset(t, i));
    r.putS32(kDetailOffset, detail);
    r.putS32(kMaxFpsOffset, maxFps);
    const std::uint8_t display[5] = {bFullScreen, bAllowLetterbox, bBilinearFilter, bUseVSync, bShowFps};
    r.putBytes(kFullScreenOffset, display, sizeof display);
    r.putS32(kAudioQualityOffset, audioQuality);
    r.putS32(kSoundVolumeOffset, soundVolume);
    r.putS32(kMusicVolumeOffset, musicVolume);
    const std::uint8_t sound[4] = {bInGameMusic, bMuteAudio, bAllowCheats, bInGameHelp};
    r.putBytes(kInGameMusicOffset, sound, sizeof sound);
    r.putS32(kDifficultyOffset, difficulty);
    for (int i = 0; i < 2; ++i) r.putS32(kRuleSlotsAOffset + 4 * static_cast<std::size_t>(i), ruleSlotsA[i]);
    r.putS32(kDuelOpponentOffset, duelOpponent);
    r.putS32(kInvasionPlayersOffset, invasionPlayers);
    r.putS32(kGameModeIdOffset, gameModeId);
    for (int i = 0; i < 4; ++i) r.putS32(kRuleSlotsBOffset + 4 * static_cast<std::size_t>(i), ruleSlotsB[i]);
    r.putBytes(kRuleSlotsBOffset + 16, ruleFlags, sizeof ruleFlags);
    r.putBytes(kMutatorsOffset, mutators, sizeof mutators);
    r.putU8(kNetworkWizardDoneOffset, bNetworkWizardDone);
    r.putU16(kMasterServerOffset, masterServer.sin_family);
    // Port and address are kept in network byte order and stored as they are.
    r.putBytes(kMasterServerOffset + 2, &masterServer.sin_port, 2);
    r.putBytes(kMasterServerOffset + 4, &masterServer.sin_addr, 4);
    for (int i = 0; i < 3; ++i) r.putS32(kNetworkSlotsOffset + 4 * static_cast<std::size_t>(i), networkSlots[i]);
    r.putS32(kCountryOffset, country);
    for (int i = 0; i < 3; ++i) r.putF32(kCountryPositionOffset + 4 * static_cast<std::size_t>(i), countryPosition[i]);
    for (int row = 0; row < kKeyRows; ++row)
        for (int p = 0; p < kPlayers; ++p)
            r.putS32(kKeysOffset + 4 * static_cast<std::size_t>(row * kPlayers + p), keys[row][p]);
    r.putU8(kNameRequestedOffset, bNameRequested);
}

void GameConfiguration::fromBytes(const RecordBytes& r) {
    r.getBytes(kGameNameOffset, gameName.bytes, sizeof gameName.bytes);
    r.getBytes(kVersionOffset, version.bytes, sizeof version.bytes);
    installationId = r.getU32(kInstallationIdOffset);
    r.getBytes(kCountryCodeOffset, countryCode, sizeof countryCode);
    for (int t = 0; t < kTables; ++t)
        for (int i = 0; i < kEntries; ++i) highScores[t][i].read(r, entryOffset(t, i));
    detail = r.getS32(kDetailOffset);
    maxFps = r.getS32(kMaxFpsOffset);
    std::uint8_t display[5];
    r.getBytes(kFullScreenOffset, display, sizeof display);
    bFullScreen = display[0], bAllowLetterbox = display[1], bBilinearFilter = display[2];
    bUseVSync = display[3], bShowFps = display[4];
    audioQuality = r.getS32(kAudioQualityOffset);
    soundVolume = r.getS32(kSoundVolumeOffset);
    musicVolume = r.getS32(kMusicVolumeOffset);
    std::uint8_t sound[4];
    r.getBytes(kInGameMusicOffset, sound, sizeof sound);
    bInGameMusic = sound[0], bMuteAudio = sound[1], bAllowCheats = sound[2], bInGameHelp = sound[3];
    difficulty = r.getS32(kDifficultyOffset);
    for (int i = 0; i < 2; ++i) ruleSlotsA[i] = r.getS32(kRuleSlotsAOffset + 4 * static_cast<std::size_t>(i));
    duelOpponent = r.getS32(kDuelOpponentOffset);
    invasionPlayers = r.getS32(kInvasionPlayersOffset);
    gameModeId = r.getS32(kGameModeIdOffset);
    for (int i = 0; i < 4; ++i) ruleSlotsB[i] = r.getS32(kRuleSlotsBOffset + 4 * static_cast<std::size_t>(i));
    r.getBytes(kRuleSlotsBOffset + 16, ruleFlags, sizeof ruleFlags);
    r.getBytes(kMutatorsOffset, mutators, sizeof mutators);
    bNetworkWizardDone = r.getU8(kNetworkWizardDoneOffset);
    masterServer = sockaddr_in{};
    masterServer.sin_family = static_cast<sa_family_t>(r.getU16(kMasterServerOffset));
    r.getBytes(kMasterServerOffset + 2, &masterServer.sin_port, 2);
    r.getBytes(kMasterServerOffset + 4, &masterServer.sin_addr, 4);
    for (int i = 0; i < 3; ++i) networkSlots[i] = r.getS32(kNetworkSlotsOffset + 4 * static_cast<std::size_t>(i));
    country = r.getS32(kCountryOffset);
    for (int i = 0; i < 3; ++i) countryPosition[i] = r.getF32(kCountryPositionOffset + 4 * static_cast<std::size_t>(i));
    for (int row = 0; row < kKeyRows; ++row)
        for (int p = 0; p < kPlayers; ++p)
            keys[row][p] = r.getS32(kKeysOffset + 4 * static_cast<std::size_t>(row * kPlayers + p));
    bNameRequested = r.getU8(kNameRequestedOffset);
}

void GameConfiguration::clampToValidRanges() {
    // A damaged or hand-edited file must not reach a division by zero (maxFps), an index
    // out of range (quality, volumes, choices, keys, country) or a text without its end.
    terminate(gameName.bytes, sizeof gameName.bytes);
    terminate(version.bytes, sizeof version.bytes);
    const bool codeIsLetters = std::all_of(countryCode, countryCode + 2, [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-';
    });
    if (!codeIsLetters || countryCode[2] != 0 || countryCode[3] != 0) {
        std::memset(countryCode, 0, sizeof countryCode);
        countryCode[0] = countryCode[1] = '-';
    }
    detail = std::clamp(detail, 0, 1);
    maxFps = std::clamp(maxFps, 25, 125);
    for (std::uint8_t* flag : {&bFullScreen, &bAllowLetterbox, &bBilinearFilter, &bUseVSync, &bShowFps, &bInGameMusic,
                               &bMuteAudio, &bAllowCheats, &bInGameHelp, &bNetworkWizardDone, &bNameRequested})
        *flag = asSwitch(*flag);
    for (auto& m : mutators) m = asSwitch(m);
    audioQuality = std::clamp(audioQuality, 0, 2);
    soundVolume = std::clamp(soundVolume, 0, 24);
    musicVolume = std::clamp(musicVolume, 0, 24);
    difficulty = std::clamp(difficulty, 0, 4);
    duelOpponent = std::clamp(duelOpponent, 1, 2);
    invasionPlayers = std::clamp(invasionPlayers, 0, 1);
    // Only reset ever writes these; their one valid value is the default.
    std::copy(std::begin(kDefaultRuleSlotsA), std::end(kDefaultRuleSlotsA), ruleSlotsA);
    gameModeId = kDefaultGameModeId;
    std::copy(std::begin(kDefaultRuleSlotsB), std::end(kDefaultRuleSlotsB), ruleSlotsB);
    std::copy(std::begin(kDefaultRuleFlags), std::end(kDefaultRuleFlags), ruleFlags);
    std::copy(std::begin(kDefaultNetworkSlots), std::end(kDefaultNetworkSlots), networkSlots);
    masterServer.sin_family = AF_INET;
    country = std::clamp(country, 0, kLastCountry);
    if (!std::all_of(countryPosition, countryPosition + 3, [](float v) { return std::isfinite(v); }))
        std::copy(std::begin(kDefaultCountryPosition), std::end(kDefaultCountryPosition), countryPosition);
    // A code outside the input codes would leave the control unbound (and the player
    // without a way to steer or skip); it falls back to the control's own default.
    for (int row = 0; row < kKeyRows; ++row)
        for (int p = 0; p < kPlayers; ++p)
            if (keys[row][p] < 0 || keys[row][p] >= kInputCodes) keys[row][p] = kDefaultKeys[row][p];
}
