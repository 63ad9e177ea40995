#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>

#include "game/PalmSaveRecord.h"
#include "game/PlayerData.h"
#include "game/SavedGame.h"
#include "support/GameTestEngine.h"
#include "ui/ContextBlender.h"
#include "ui/ProfileData.h"

namespace {
using Block = std::array<std::uint8_t, SavedGame::kInvasionSize>;

// A game with every saved field away from its default, saved into `block`.
void saveAChangedGame(GameTestEngine& engine, Block& block) {
    GameController& game = engine.startGame();
    game.difficulty = 4;
    game.computerPlayers = 1;
    game.bReservedFlag = 1;
    game.palmsPerIsland = 6;
    game.aiSkill = 0.75f;
    game.slowMotionEnd = 12.5;
    game.targetsReleased = 4321;
    game.bBerserk = 1;
    game.bPX35 = 1;
    game.speed = 2.0;
    game.vehicleFactors[2] = 0.5f;
    game.playerData[0]->addMaskedScore(1234);
    game.playerData[1]->addMaskedScore(99);
    game.playerData[1]->colour = 0xFF112233u;
    game.playerData[0]->createPalms(2, 1);
    game.savegame(SavedGame(block));
}
}  // namespace

TEST(SavedGame, TheCommonPartSurvivesASaveAndALoad) {
    GameTestEngine engine;
    Block block;
    block.fill(0xAB);  // what the block held before: kept where nothing is written
    saveAChangedGame(engine, block);
    std::array<std::uint32_t, PlayerData::kMaskedWords> saved0{};
    std::memcpy(saved0.data(), engine.app().pCurrentGame->playerData[0]->maskedScore, sizeof saved0);
    EXPECT_EQ(block[0], 1);
    EXPECT_EQ(block[1], 0xAB);                                   // padding untouched
    EXPECT_EQ(block[SavedGame::kExtras], 0xAB);                  // the mode's extras too
    EXPECT_EQ(block[4 + PlayerSaveBlock::kWeaponEnergy], 0xAB);  // no vehicle: kept
    for (int i = 0; i < PlayerSaveBlock::kPalmRecords; ++i)
        EXPECT_EQ(block[4 + PlayerSaveBlock::kPalms + 56 * static_cast<std::size_t>(i)], i < 2 ? 1 : 0) << i;

    GameController& game = engine.startGame();
    const SavedGame saved(block);
    game.startGame(&saved);
    ASSERT_TRUE(game.loadgame(saved));
    EXPECT_EQ(game.difficulty, 4);
    EXPECT_EQ(game.computerPlayers, 1);
    EXPECT_EQ(game.bReservedFlag, 1);
    EXPECT_EQ(game.palmsPerIsland, 6);
    EXPECT_FLOAT_EQ(game.aiSkill, 0.75f);
    EXPECT_DOUBLE_EQ(game.slowMotionEnd, 12.5);
    EXPECT_EQ(game.targetsReleased, 4321);
    EXPECT_EQ(game.bPX35, 1);  // the mutators in their saved order
    EXPECT_EQ(game.bMatrixFight, 0);
    EXPECT_FLOAT_EQ(game.vehicleFactors[2], 0.5f);
    // A continued Berserk game runs at its saved speed from its first frame.
    EXPECT_DOUBLE_EQ(game.speed, 2.0);
    EXPECT_DOUBLE_EQ(game.pScene->timeScale, 2.0);
    EXPECT_EQ(std::memcmp(game.playerData[0]->maskedScore, saved0.data(), sizeof saved0), 0);
    EXPECT_EQ(game.playerData[0]->getScore(), 1234);
    EXPECT_EQ(game.playerData[1]->getScore(), 99);
    EXPECT_EQ(game.playerData[1]->colour, 0xFF112233u);
}

// One damaged field each: offset, and what is written there.
struct Damage {
    std::size_t offset;
    int size;  // 1, 4 (s32), -4 (f32) or -8 (f64)
    double value;
};

class SavedGameDamage : public ::testing::TestWithParam<Damage> {};

TEST_P(SavedGameDamage, IsRefusedAndLeavesTheGameAsItWas) {
    GameTestEngine engine;
    Block block{};
    saveAChangedGame(engine, block);
    const Damage& d = GetParam();
    SaveBytes bytes(block.data(), block.size());
    if (d.size == 1) bytes.putU8(d.offset, static_cast<std::uint8_t>(d.value));
    if (d.size == 4) bytes.putS32(d.offset, static_cast<std::int32_t>(d.value));
    if (d.size == -4) bytes.putF32(d.offset, static_cast<float>(d.value));
    if (d.size == -8) bytes.putF64(d.offset, d.value);
    GameController& game = engine.startGame();
    EXPECT_FALSE(game.loadgame(SavedGame(block)));
    EXPECT_EQ(game.difficulty, 2);
    EXPECT_EQ(game.targetsReleased, 1);
    EXPECT_EQ(game.playerData[0]->getScore(), 0);
}

constexpr std::size_t kP0 = SavedGame::kPlayers;
constexpr std::size_t kP1 = SavedGame::kPlayers + PlayerSaveBlock::kSize;
const double kNaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    HostileBytes, SavedGameDamage,
    ::testing::Values(Damage{SavedGame::kValid, 1, 0}, Damage{kP1 + PlayerSaveBlock::kValid, 1, 0},
                      Damage{kP0 + PlayerSaveBlock::kSide, 4, 1},                   // records swapped
                      Damage{kP0 + PlayerSaveBlock::kTotalPalms, 4, 11},            // more than an island holds
                      Damage{kP1 + PlayerSaveBlock::kTotalPalms, 4, 1},             // a palm without its record
                      Damage{kP1 + PlayerSaveBlock::kLivePalms, 4, 1},              // more alive than planted
                      Damage{kP0 + PlayerSaveBlock::kMaskedScore + 65 * 4, 4, -1},  // negative score
                      Damage{kP1 + PlayerSaveBlock::kRating, -4, kNaN}, Damage{SavedGame::kPlayerSides, 4, 0},
                      Damage{kP0 + PlayerSaveBlock::kWeaponEnergy, -4, kNaN},
                      Damage{kP0 + PlayerSaveBlock::kPalms + PalmSaveRecord::kState, 4, 7},  // no palm's state
                      Damage{kP0 + PlayerSaveBlock::kPalms + 56 + PalmSaveRecord::kFullHeight, -4, 0},
                      Damage{SavedGame::kComputerPlayers, 4, 2}, Damage{SavedGame::kPalmsPerIsland, 4, 11},
                      Damage{SavedGame::kPalmsPerIsland, 4, 0}, Damage{SavedGame::kAiSkill, -4, kNaN},
                      Damage{SavedGame::kScoreTable, 4, 6},
                      Damage{SavedGame::kTargetsReleased, 4, 0},  // the ratings divide by it
                      Damage{SavedGame::kSpeed, -8, 0.0}, Damage{SavedGame::kSpeed, -8, kNaN}),
    [](const ::testing::TestParamInfo<Damage>& info) { return "Case" + std::to_string(info.index); });

TEST(SavedGame, ShortOrNoisyBlocksAreNeverReadOutside) {
    GameTestEngine engine;
    Block block{};
    saveAChangedGame(engine, block);
    GameController& game = engine.startGame();
    EXPECT_FALSE(game.loadgame(SavedGame(block.data(), SavedGame::kExtras - 1)));  // cut short
    Random::seed(5);
    for (int round = 0; round < 100; ++round) {
        for (auto& b : block) b = static_cast<std::uint8_t>(Random::next());
        game.loadgame(SavedGame(block));  // whatever it decides, it stays in bounds
    }
    EXPECT_EQ(SaveBytes(block.data(), 8).getU32(6), 0u);  // past the end reads nothing
}

// The extras of each mode, damaged one at a time (offset, s32 or -8 for f64, value).
struct ExtrasDamage {
    bool duel;
    std::size_t offset;
    int size;
    double value;
};

class SavedGameExtras : public ::testing::TestWithParam<ExtrasDamage> {};

TEST_P(SavedGameExtras, AreCheckedWithTheirMode) {
    GameTestEngine engine;
    Block block{};
    saveAChangedGame(engine, block);
    SaveBytes bytes(block.data(), block.size());
    const SavedGame invasion(block.data(), SavedGame::kInvasionSize), duel(block.data(), SavedGame::kDuelSize);
    bytes.putS32(SavedGame::kWave, 6);  // both modes' extras at once: they share their first words
    bytes.putS32(SavedGame::kWaveCount, 50);
    bytes.putS32(SavedGame::kDays, 5);
    bytes.putF64(SavedGame::kNextBonusTime, 30.0);
    bytes.putS32(SavedGame::kPlayers + PlayerSaveBlock::kWeaponType, 4);
    bytes.putS32(SavedGame::kPalmsPerIsland, 2);  // as many as side 0 saved
    ASSERT_TRUE(invasion.isSoundInvasion());
    bytes.putS32(SavedGame::kWaveCount, 2);  // which the Duel reads as day 3, round 2
    bytes.putS32(SavedGame::kWave, 3);
    ASSERT_TRUE(duel.isSoundDuel());
    const ExtrasDamage& d = GetParam();
    if (d.size == 4) bytes.putS32(d.offset, static_cast<std::int32_t>(d.value));
    if (d.size == -8) bytes.putF64(d.offset, d.value);
    EXPECT_FALSE(d.duel ? duel.isSoundDuel() : invasion.isSoundInvasion());
}

INSTANTIATE_TEST_SUITE_P(
    HostileExtras, SavedGameExtras,
    ::testing::Values(ExtrasDamage{false, SavedGame::kWave, 4, -1}, ExtrasDamage{false, SavedGame::kWave, 4, 50},
                      ExtrasDamage{false, SavedGame::kWave, 4, 1e9}, ExtrasDamage{false, SavedGame::kWaveCount, 4, 0},
                      ExtrasDamage{false, SavedGame::kWaveCount, 4, 51},
                      ExtrasDamage{false, SavedGame::kPalmsPerIsland, 4, 3},
                      ExtrasDamage{false, kP1 + PlayerSaveBlock::kWeaponType, 4, 6},  // fatal to make
                      ExtrasDamage{true, SavedGame::kDays, 4, 0}, ExtrasDamage{true, SavedGame::kDays, 4, 6},
                      ExtrasDamage{true, SavedGame::kDay, 4, 6}, ExtrasDamage{true, SavedGame::kDay, 4, 0},
                      ExtrasDamage{true, SavedGame::kRound, 4, 3},
                      ExtrasDamage{true, SavedGame::kNextBonusTime, -8, kNaN}),
    [](const ::testing::TestParamInfo<ExtrasDamage>& info) { return "Case" + std::to_string(info.index); });

TEST(SavedGame, ADamagedBlockIsClearedInTheProfileAndANewGameStartsWithTheMenusMutators) {
    GameTestEngine engine;
    ProfileData profile;
    profile.duelGame.fill(0x5A);  // another block of the profile: never touched
    SavedGame block(profile.invasionGame);
    saveAChangedGame(engine, profile.invasionGame);
    global->configuration.mutators[3] = 1;  // Bloated projectiles
    ProfileData before = profile;

    GameController& continued = engine.startGame();
    continued.startGame(&block);  // a sound block keeps its own mutators
    EXPECT_TRUE(continued.bContinued);
    ASSERT_TRUE(continued.loadgame(block));
    EXPECT_EQ(continued.bBloatedProjectiles, 0);
    EXPECT_EQ(continued.bBerserk, 1);

    SaveBytes(profile.invasionGame.data(), SavedGame::kInvasionSize).putS32(SavedGame::kPlayerSides, 7);
    before.invasionGame[SavedGame::kPlayerSides] = 7;
    GameController& fresh = engine.startGame();
    fresh.startGame(&block);
    EXPECT_FALSE(fresh.bContinued);
    EXPECT_FALSE(block.validData());
    EXPECT_EQ(fresh.bBloatedProjectiles, 1);
    EXPECT_EQ(fresh.bRatingHalved, 1);
    EXPECT_DOUBLE_EQ(fresh.speed, 1.0);
    before.invasionGame[SavedGame::kValid] = 0;
    EXPECT_EQ(profile.invasionGame, before.invasionGame);  // only the valid flag changed
    EXPECT_EQ(profile.duelGame, before.duelGame);
}
