#pragma once
// The configuration record: everything the program keeps per machine apart from the
// profiles. Identity of the build and installation, the five local high-score tables,
// every option, the last rule choices, the network set-up and both players' keys.
// Screens bind their items straight to its fields; the engine takes the values over
// when Global::applySettings runs.
//
// Stored as "<product>.hst" in the data folder: a record of exactly kSize bytes,
// little-endian, laid out as the offsets below say (written and read field by field,
// never as a memory image), inside the user-data container with the version "2.79".
// A file that does not load leaves the defaults; values read from a file are clamped
// to what the program can use, whatever the file holds.
//
// Lifetime: one, owned by Global, built before the profiles; loads its file when
// constructed and saves it when destroyed. Main thread only.
#include <netinet/in.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/FixedString.h"
#include "ui/HIGHSCOREENTRY.h"

class RecordBytes;

class GameConfiguration {
public:
    static constexpr std::uint32_t kSize = 14696;
    static constexpr int kTables = 5;    // Duel, Invasion, Challenge, Balloon Pop, Free-For-All
    static constexpr int kEntries = 10;  // per table, best first
    static constexpr int kKeyRows = 6;
    static constexpr int kPlayers = 2;
    static constexpr int kMutators = 7;
    static constexpr int kInputCodes = 456;  // key codes are 0 .. kInputCodes - 1
    static constexpr int kLastCountry = 240;
    static constexpr std::uint32_t kScoreSalt = 0x3C9A71E4;  // heads every entry's digest
    enum KeyRow { kKeyLeft = 0, kKeyRight = 1, kKeyUp = 2, kKeyDown = 3, kKeyFire = 4, kKeyExtra = 5 };

    // Byte offsets of the record.
    static constexpr std::size_t kGameNameOffset = 0;
    static constexpr std::size_t kVersionOffset = 32;
    static constexpr std::size_t kInstallationIdOffset = 80;
    static constexpr std::size_t kCountryCodeOffset = 84;
    static constexpr std::size_t kHighScoresOffset = 88;
    static constexpr std::size_t kTableBytes = HIGHSCOREENTRY::kSize * kEntries;  // 2880
    static constexpr std::size_t kDetailOffset = 14488;
    static constexpr std::size_t kMaxFpsOffset = 14492;
    static constexpr std::size_t kFullScreenOffset = 14496;
    static constexpr std::size_t kAudioQualityOffset = 14504;
    static constexpr std::size_t kSoundVolumeOffset = 14508;
    static constexpr std::size_t kMusicVolumeOffset = 14512;
    static constexpr std::size_t kInGameMusicOffset = 14516;
    static constexpr std::size_t kDifficultyOffset = 14520;
    static constexpr std::size_t kRuleSlotsAOffset = 14524;  // two s32 written only by reset
    static constexpr std::size_t kDuelOpponentOffset = 14532;
    static constexpr std::size_t kInvasionPlayersOffset = 14536;
    static constexpr std::size_t kGameModeIdOffset = 14540;
    static constexpr std::size_t kRuleSlotsBOffset = 14544;  // four s32, then two u8, written only by reset
    static constexpr std::size_t kMutatorsOffset = 14562;
    static constexpr std::size_t kNetworkWizardDoneOffset = 14569;
    static constexpr std::size_t kMasterServerOffset = 14572;
    static constexpr std::size_t kNetworkSlotsOffset = 14588;
    static constexpr std::size_t kCountryOffset = 14600;
    static constexpr std::size_t kCountryPositionOffset = 14604;
    static constexpr std::size_t kKeysOffset = 14616;
    static constexpr std::size_t kNameRequestedOffset = 14676;

    // Defaults, then the file.
    GameConfiguration();
    // Saves the file.
    ~GameConfiguration();
    GameConfiguration(const GameConfiguration&) = delete;
    GameConfiguration& operator=(const GameConfiguration&) = delete;

    // Every field to its default (the high-score tables through resetHighScores).
    void reset();
    // Reads the file when it is valid, clamps what it read, then makes an installation
    // id when there is none. True when the file was read.
    bool load();
    bool save() const;
    // Ten entries per table, 20.000% down to 2.000%, no names, made now.
    void resetHighScores();
    // Enters `score` into `table` (0..4) below every entry it does not beat; returns the
    // place 0..9, or -1 when it beats none or `table` names no table (nothing changes then).
    int insertScore(int table, int score, bool withDigest, const std::u16string& name);
    // Clears every binding of `code`, so that one code never serves two controls.
    void unbindKey(int code);

    // The record's bytes, and back.
    void toBytes(RecordBytes& record) const;
    void fromBytes(const RecordBytes& record);
    // Brings every field read from outside into its valid range.
    void clampToValidRanges();

    FixedString32 gameName;
    FixedString16 version;
    std::uint32_t installationId = 0;
    char countryCode[4] = {};  // ISO 3166-1 alpha-2, NUL-padded; "--" for none
    HIGHSCOREENTRY highScores[kTables][kEntries];
    std::int32_t detail = 0;  // 0 low, 1 high
    std::int32_t maxFps = 0;  // frames per second, 25 .. 125
    std::uint8_t bFullScreen = 0;
    std::uint8_t bAllowLetterbox = 0;
    std::uint8_t bBilinearFilter = 0;
    std::uint8_t bUseVSync = 0;
    std::uint8_t bShowFps = 0;
    std::int32_t audioQuality = 0;  // 0, 1, 2: 11025, 22050, 44100 Hz
    std::int32_t soundVolume = 0;   // steps 0 .. 24
    std::int32_t musicVolume = 0;   // steps 0 .. 24
    std::uint8_t bInGameMusic = 0;
    std::uint8_t bMuteAudio = 0;
    std::uint8_t bAllowCheats = 0;
    std::uint8_t bInGameHelp = 0;
    std::int32_t difficulty = 0;            // 0 very easy .. 4 very hard
    std::int32_t ruleSlotsA[2] = {};        // kept at their defaults
    std::int32_t duelOpponent = 0;          // 1 a friend, 2 the computer
    std::int32_t invasionPlayers = 0;       // 0 alone, 1 with a friend
    std::int32_t gameModeId = 0;            // the controllers' initial mode id
    std::int32_t ruleSlotsB[4] = {};        // kept at their defaults
    std::uint8_t ruleFlags[2] = {};         // kept at their defaults
    std::uint8_t mutators[kMutators] = {};  // Matrix fight .. PX-35, taken by every new game
    std::uint8_t bNetworkWizardDone = 0;
    sockaddr_in masterServer{};                  // port and address in network byte order
    std::int32_t networkSlots[3] = {};           // kept at their defaults
    std::int32_t country = 0;                    // position in the sorted country list, 0 .. 240
    float countryPosition[3] = {};               // on the country selector's globe
    std::int32_t keys[kKeyRows][kPlayers] = {};  // input codes, row by row
    std::uint8_t bNameRequested = 0;
};
