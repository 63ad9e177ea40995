#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>

#include "engine/Md5.h"
#include "engine/PackedData.h"
#include "engine/Strings.h"
#include "engine/SystemHelpers.h"
#include "support/UserDataHome.h"
#include "ui/GameConfiguration.h"
#include "ui/RecordBytes.h"
#include "ui/UserFile.h"

namespace {
std::string textAt(const RecordBytes& r, std::size_t offset) {
    return std::string(reinterpret_cast<const char*>(r.data() + offset));
}

RecordBytes bytesOf(const GameConfiguration& c) {
    RecordBytes r(GameConfiguration::kSize);
    c.toBytes(r);
    return r;
}

// Writes a record under the configuration file's name as another program might have.
void storeRecord(const RecordBytes& r, std::u16string version = u"2.79") {
    const std::u16string folder = getUserDataFolder();
    ASSERT_TRUE(writePackedFile(r.data(), static_cast<std::uint32_t>(r.size()), folder.substr(0, folder.size() - 1),
                                getHighScoreFileName(), version));
}

std::string highScoreFile(const UserDataHome& home) { return home.file("Torvane2Xmas.hst"); }
}  // namespace

TEST(GameConfigurationTest, AFreshInstallWritesEveryDefaultAtItsOffset) {
    UserDataHome home;
    GameConfiguration c;
    const RecordBytes r = bytesOf(c);
    EXPECT_EQ(textAt(r, 0), "Torvane2Xmas");
    EXPECT_EQ(textAt(r, 32), "2.79");
    for (std::size_t i = 48; i < 80; ++i) EXPECT_EQ(r.getU8(i), 0) << i;
    EXPECT_NE(r.getU32(80), 0u);
    EXPECT_EQ(r.getU32(84), 0x2D2Du);
    for (int t = 0; t < 5; ++t) {
        for (int i = 0; i < 10; ++i) {
            const std::size_t at = 88 + 2880 * static_cast<std::size_t>(t) + 288 * static_cast<std::size_t>(i);
            EXPECT_EQ(r.getS32(at + 272), 20000 - 2000 * i);
            EXPECT_EQ(r.getU8(at + 16), 0);
            EXPECT_EQ(r.getU8(at), 0);
            EXPECT_GT(r.getS64(at + 280), 1600000000);
        }
    }
    const std::pair<std::size_t, std::int32_t> words[] = {
        {14488, 1},  {14492, 100}, {14504, 1},  {14508, 24},  {14512, 15}, {14520, 2},   {14524, 5},  {14528, 3},
        {14532, 2},  {14536, 0},   {14540, 1},  {14544, 2},   {14548, 12}, {14552, 12},  {14556, 12}, {14588, 0},
        {14592, 2},  {14596, 2},   {14600, 0},  {14616, 203}, {14620, 30}, {14624, 205}, {14628, 32}, {14632, 200},
        {14636, 17}, {14640, 208}, {14644, 45}, {14648, 57},  {14652, 42}, {14656, 28},  {14660, 29}};
    for (auto [offset, value] : words) EXPECT_EQ(r.getS32(offset), value) << offset;
    const std::pair<std::size_t, std::uint8_t> flags[] = {{14496, 1}, {14497, 1}, {14498, 1}, {14499, 1}, {14500, 0},
                                                          {14516, 1}, {14517, 0}, {14518, 0}, {14519, 1}, {14560, 1},
                                                          {14561, 0}, {14569, 0}, {14676, 1}};
    for (auto [offset, value] : flags) EXPECT_EQ(r.getU8(offset), value) << offset;
    for (std::size_t i = 14562; i < 14569; ++i) EXPECT_EQ(r.getU8(i), 0);
    EXPECT_EQ(r.getU16(14572), 2);
    for (std::size_t i = 14574; i < 14588; ++i) EXPECT_EQ(r.getU8(i), 0);
    EXPECT_EQ(r.getF32(14604), 0.0f);
    EXPECT_EQ(r.getF32(14612), -1.0f);
    for (std::size_t i = 14664; i < 14676; ++i) EXPECT_EQ(r.getU8(i), 0);
    for (std::size_t i = 14677; i < 14696; ++i) EXPECT_EQ(r.getU8(i), 0);
}

TEST(GameConfigurationTest, SettingsScoresAndTheInstallationIdSurviveSaveAndReload) {
    UserDataHome home;
    std::uint32_t id = 0;
    {
        GameConfiguration c;
        id = c.installationId;
        c.maxFps = 60;
        c.bMuteAudio = 1;
        c.keys[GameConfiguration::kKeyFire][1] = 300;
        c.masterServer.sin_port = htons(27960);
        c.masterServer.sin_addr.s_addr = htonl(0x7F000001);
        c.countryPosition[1] = 0.25f;
        c.insertScore(3, 55555, true, u"Zoë");
    }  // saved here
    ASSERT_TRUE(std::filesystem::exists(highScoreFile(home)));
    EXPECT_FALSE(std::filesystem::exists(highScoreFile(home) + ".tmp"));
    GameConfiguration back;
    EXPECT_EQ(back.installationId, id);
    EXPECT_EQ(back.maxFps, 60);
    EXPECT_EQ(back.bMuteAudio, 1);
    EXPECT_EQ(back.keys[GameConfiguration::kKeyFire][1], 300);
    EXPECT_EQ(ntohs(back.masterServer.sin_port), 27960);
    EXPECT_EQ(ntohl(back.masterServer.sin_addr.s_addr), 0x7F000001u);
    EXPECT_EQ(back.countryPosition[1], 0.25f);
    EXPECT_EQ(back.highScores[3][0].score, 55555);
    EXPECT_EQ(utf8ToWide(reinterpret_cast<const char*>(back.highScores[3][0].name.bytes)), u"Zoë");
    // Network byte order on disk, as the socket layer expects it.
    const RecordBytes r = bytesOf(back);
    EXPECT_EQ(r.getU8(14574), 27960 >> 8);
    EXPECT_EQ(r.getU8(14576), 127);
}

TEST(GameConfigurationTest, AForeignFileLeavesTheDefaultsAndIsKeptAsABackup) {
    for (int variant = 0; variant < 3; ++variant) {
        UserDataHome home;
        RecordBytes r(variant == 0 ? 100 : GameConfiguration::kSize);
        if (variant != 0) r.putS32(GameConfiguration::kMaxFpsOffset, 30);
        if (variant == 2) {
            // Not a container at all.
            std::ofstream(highScoreFile(home)) << "garbage";
        } else {
            storeRecord(r, variant == 1 ? u"2.78" : u"2.79");
        }
        const std::string original = TempFolder::read(highScoreFile(home));
        {
            GameConfiguration c;
            EXPECT_EQ(c.maxFps, 100) << variant;
            EXPECT_NE(c.installationId, 0u);
            EXPECT_EQ(TempFolder::read(highScoreFile(home) + ".bak"), original) << variant;
        }
        // The first save replaced the file; the backup still holds the player's old one.
        EXPECT_NE(TempFolder::read(highScoreFile(home)), original);
        EXPECT_EQ(TempFolder::read(highScoreFile(home) + ".bak"), original);
    }
}

TEST(GameConfigurationTest, NoFileMeansNoBackup) {
    UserDataHome home;
    { GameConfiguration c; }
    EXPECT_FALSE(std::filesystem::exists(highScoreFile(home) + ".bak"));
    GameConfiguration again;
    EXPECT_FALSE(std::filesystem::exists(highScoreFile(home) + ".bak"));
}

TEST(GameConfigurationTest, EveryDamagedFieldIsBroughtIntoItsRange) {
    UserDataHome home;
    RecordBytes r(GameConfiguration::kSize);
    {
        GameConfiguration defaults;
        defaults.toBytes(r);
    }
    r.putS32(GameConfiguration::kMaxFpsOffset, 0);
    r.putS32(GameConfiguration::kDetailOffset, 99);
    r.putS32(GameConfiguration::kAudioQualityOffset, 7);
    r.putS32(GameConfiguration::kSoundVolumeOffset, -3);
    r.putS32(GameConfiguration::kMusicVolumeOffset, 1000);
    r.putS32(GameConfiguration::kDifficultyOffset, 9);
    r.putS32(GameConfiguration::kDuelOpponentOffset, 0);
    r.putS32(GameConfiguration::kInvasionPlayersOffset, 5);
    r.putS32(GameConfiguration::kGameModeIdOffset, -77);
    r.putS32(GameConfiguration::kCountryOffset, 500);
    r.putS32(GameConfiguration::kKeysOffset, 999);
    r.putS32(GameConfiguration::kKeysOffset + 4, -1);
    r.putF32(GameConfiguration::kCountryPositionOffset, std::numeric_limits<float>::quiet_NaN());
    r.putU8(GameConfiguration::kFullScreenOffset, 7);
    r.putU8(GameConfiguration::kMutatorsOffset + 6, 200);
    r.putU16(GameConfiguration::kMasterServerOffset, 10);
    r.putBytes(GameConfiguration::kCountryCodeOffset, "ZZZZ", 4);
    std::uint8_t fullName[256];
    std::memset(fullName, 'a', sizeof fullName);
    r.putBytes(GameConfiguration::kHighScoresOffset + HIGHSCOREENTRY::kNameOffset, fullName, sizeof fullName);
    storeRecord(r);

    GameConfiguration c;
    EXPECT_EQ(c.maxFps, 25);
    EXPECT_EQ(c.detail, 1);
    EXPECT_EQ(c.audioQuality, 2);
    EXPECT_EQ(c.soundVolume, 0);
    EXPECT_EQ(c.musicVolume, 24);
    EXPECT_EQ(c.difficulty, 4);
    EXPECT_EQ(c.duelOpponent, 1);
    EXPECT_EQ(c.invasionPlayers, 1);
    EXPECT_EQ(c.gameModeId, 1);
    EXPECT_EQ(c.country, 240);
    // Codes outside the input codes fall back to the row's own default, so the player
    // keeps a way to steer.
    EXPECT_EQ(c.keys[0][0], 203);
    EXPECT_EQ(c.keys[0][1], 30);
    EXPECT_EQ(c.keys[1][0], 205);
    EXPECT_EQ(c.countryPosition[0], 0.0f);
    EXPECT_EQ(c.countryPosition[2], -1.0f);
    EXPECT_EQ(c.bFullScreen, 1);
    EXPECT_EQ(c.mutators[6], 1);
    EXPECT_EQ(c.masterServer.sin_family, AF_INET);
    EXPECT_STREQ(c.countryCode, "--");
    EXPECT_EQ(std::strlen(reinterpret_cast<const char*>(c.highScores[0][0].name.bytes)), 255u);
    // A file that loads is not a damaged one: no backup.
    EXPECT_FALSE(std::filesystem::exists(highScoreFile(home) + ".bak"));
}

TEST(GameConfigurationTest, InsertScoreGoesBelowEqualScoresAndDropsTheLast) {
    UserDataHome home;
    GameConfiguration c;
    EXPECT_EQ(c.insertScore(1, 20000, false, u"Equal"), 1);
    EXPECT_EQ(c.highScores[1][0].score, 20000);
    EXPECT_EQ(c.highScores[1][1].score, 20000);
    EXPECT_EQ(c.highScores[1][9].score, 4000);
    EXPECT_EQ(c.insertScore(2, 20001, false, u"Best"), 0);
    EXPECT_EQ(c.highScores[2][1].score, 20000);
    EXPECT_EQ(c.highScores[2][9].score, 4000);
    EXPECT_EQ(c.insertScore(4, 2000, false, u"Last"), -1);
    EXPECT_EQ(c.insertScore(4, -5, false, u"Negative"), -1);
    // The other tables are untouched.
    EXPECT_EQ(c.highScores[0][9].score, 2000);
    EXPECT_EQ(c.highScores[3][9].score, 2000);

    for (auto& e : c.highScores[0]) e.score = 777;
    const RecordBytes before = bytesOf(c);
    EXPECT_EQ(c.insertScore(0, 777, true, u"Tie"), -1);
    EXPECT_EQ(std::memcmp(bytesOf(c).data(), before.data(), before.size()), 0);
}

TEST(GameConfigurationTest, TheEntryDigestCoversEveryByteOfTheEntry) {
    UserDataHome home;
    GameConfiguration c;
    ASSERT_EQ(c.insertScore(0, 30000, false, u"Plain"), 0);
    const HIGHSCOREENTRY& plain = c.highScores[0][0];
    EXPECT_EQ(plain.digest[0], 1);
    for (int i = 1; i < 16; ++i) EXPECT_EQ(plain.digest[i], 0);

    ASSERT_EQ(c.insertScore(0, 40000, true, u"Signed"), 0);
    HIGHSCOREENTRY entry = c.highScores[0][0];
    // The name went over the moved entry's "Plain": the bytes after its NUL stay.
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(entry.name.bytes)), "Signed");
    std::memset(entry.digest, 0, 16);
    RecordBytes bytes(HIGHSCOREENTRY::kSize);
    entry.write(bytes, 0);
    std::uint8_t expected[16];
    md5Keyed(expected, 0x3C9A71E4, bytes.data(), 288);
    EXPECT_TRUE(md5Equal(expected, c.highScores[0][0].digest));
    // A byte of the padding after the name changes the digest.
    bytes.putU8(HIGHSCOREENTRY::kNameOffset + 200, 1);
    std::uint8_t changed[16];
    md5Keyed(changed, 0x3C9A71E4, bytes.data(), 288);
    EXPECT_FALSE(md5Equal(expected, changed));
}

TEST(GameConfigurationTest, NamesAreCutAtWholeCharactersToFitTheirField) {
    UserDataHome home;
    GameConfiguration c;
    c.insertScore(0, 90000, false, std::u16string(300, u'x'));
    EXPECT_EQ(std::strlen(reinterpret_cast<const char*>(c.highScores[0][0].name.bytes)), 255u);
    c.insertScore(0, 90001, false, std::u16string(200, u'é'));  // two bytes each
    EXPECT_EQ(std::strlen(reinterpret_cast<const char*>(c.highScores[0][0].name.bytes)), 254u);
    FixedString32 field;
    field.assign(std::u16string(31, u'a'));
    EXPECT_EQ(std::strlen(reinterpret_cast<const char*>(field.bytes)), 31u);
    field.assign(std::u16string(32, u'b'));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(field.bytes)), std::string(31, 'b'));
}

TEST(GameConfigurationTest, UnbindingClearsOnlyThatCode) {
    UserDataHome home;
    GameConfiguration c;
    c.unbindKey(57);
    EXPECT_EQ(c.keys[GameConfiguration::kKeyFire][0], 0);
    EXPECT_EQ(c.keys[GameConfiguration::kKeyFire][1], 42);
    std::int32_t before[6][2];
    std::memcpy(before, c.keys, sizeof before);
    c.unbindKey(0);
    EXPECT_EQ(std::memcmp(before, c.keys, sizeof before), 0);
    c.keys[0][1] = c.keys[3][0] = 300;
    c.unbindKey(300);
    EXPECT_EQ(c.keys[0][1], 0);
    EXPECT_EQ(c.keys[3][0], 0);
}

TEST(GameConfigurationTest, ResettingTheScoresKeepsTheOtherSettings) {
    UserDataHome home;
    GameConfiguration c;
    c.maxFps = 50;
    c.insertScore(1, 99999, true, u"A");
    c.resetHighScores();
    EXPECT_EQ(c.maxFps, 50);
    EXPECT_EQ(c.highScores[1][0].score, 20000);
    EXPECT_EQ(c.highScores[1][0].name.bytes[0], 0);
    for (int i = 1; i < 16; ++i) EXPECT_EQ(c.highScores[1][0].digest[i], 0);
}
