#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "game/PlayerData.h"
#include "game/SavedGame.h"
#include "support/GameTestEngine.h"
#include "ui/ContextBlender.h"

namespace {
using Block = std::array<std::uint8_t, SavedGame::kInvasionSize>;

// A game with every saved field away from its default, saved into `block`.
void saveAChangedGame(GameTestEngine& engine, Block& block) {
    GameController& game = engine.startGame();
    game.difficulty = 4;
    game.playerSides = 1;
    game.computerPlayers = 1;
    game.bSabotageAllowed = 0;
    game.bReservedFlag = 1;
    game.bonusFrequency = 2;
    game.palmsPerIsland = 6;
    game.aiSkill = 0.75f;
    game.winnerSide = 1;
    game.bScoreFlag = 1;
    game.slowMotionEnd = 12.5;
    game.scoreTable = 1;
    game.targetsReleased = 4321;
    game.bBerserk = 1;
    game.bPX35 = 1;
    game.speed = 2.0;
    game.vehicleFactors[2] = 0.5f;
    game.playerData[0]->addMaskedScore(1234);
    game.playerData[1]->addMaskedScore(99);
    game.playerData[1]->rating = 0.25f;
    game.playerData[1]->colour = 0xFF112233u;
    game.playerData[0]->bHuman = 1;
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
        EXPECT_EQ(block[4 + PlayerSaveBlock::kPalms + 56 * static_cast<std::size_t>(i)], 0) << i;

    GameController& game = engine.startGame();
    const SavedGame saved(block);
    game.startGame(&saved);
    ASSERT_TRUE(game.loadgame(saved));
    EXPECT_EQ(game.difficulty, 4);
    EXPECT_EQ(game.playerSides, 1);
    EXPECT_EQ(game.computerPlayers, 1);
    EXPECT_EQ(game.bSabotageAllowed, 0);
    EXPECT_EQ(game.bReservedFlag, 1);
    EXPECT_EQ(game.bonusFrequency, 2);
    EXPECT_EQ(game.palmsPerIsland, 6);
    EXPECT_FLOAT_EQ(game.aiSkill, 0.75f);
    EXPECT_EQ(game.winnerSide, 1);
    EXPECT_EQ(game.bScoreFlag, 1);
    EXPECT_DOUBLE_EQ(game.slowMotionEnd, 12.5);
    EXPECT_EQ(game.scoreTable, 1);
    EXPECT_EQ(game.targetsReleased, 4321);
    EXPECT_EQ(game.bBerserk, 1);
    EXPECT_EQ(game.bPX35, 1);
    EXPECT_EQ(game.bMatrixFight, 0);
    EXPECT_FLOAT_EQ(game.vehicleFactors[2], 0.5f);
    // A continued Berserk game runs at its saved speed from its first frame.
    EXPECT_DOUBLE_EQ(game.speed, 2.0);
    EXPECT_DOUBLE_EQ(game.pScene->timeScale, 2.0);
    EXPECT_EQ(std::memcmp(game.playerData[0]->maskedScore, saved0.data(), sizeof saved0), 0);
    EXPECT_EQ(game.playerData[0]->getScore(), 1234);
    EXPECT_EQ(game.playerData[1]->getScore(), 99);
    EXPECT_FLOAT_EQ(game.playerData[1]->rating, 0.25f);
    EXPECT_EQ(game.playerData[1]->colour, 0xFF112233u);
    EXPECT_EQ(game.playerData[0]->bHuman, 1);
}

// One damaged field each: offset, and what is written there.
struct Damage {
    const char* what;
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
    ::testing::Values(
        Damage{"not valid", SavedGame::kValid, 1, 0}, Damage{"player not valid", kP1 + PlayerSaveBlock::kValid, 1, 0},
        Damage{"records swapped", kP0 + PlayerSaveBlock::kSide, 4, 1},
        Damage{"too many palms", kP0 + PlayerSaveBlock::kTotalPalms, 4, 11},
        Damage{"negative palms", kP1 + PlayerSaveBlock::kTotalPalms, 4, -1},
        Damage{"more alive than planted", kP0 + PlayerSaveBlock::kLivePalms, 4, 1},
        Damage{"palm record missing", kP0 + PlayerSaveBlock::kTotalPalms, 4, 1},
        Damage{"negative score", kP0 + PlayerSaveBlock::kMaskedScore + 65 * 4, 4, -1},
        Damage{"rating not a number", kP1 + PlayerSaveBlock::kRating, -4, kNaN},
        Damage{"difficulty", SavedGame::kDifficulty, 4, 5}, Damage{"no sides", SavedGame::kPlayerSides, 4, 0},
        Damage{"more computers than sides", SavedGame::kComputerPlayers, 4, 2},
        Damage{"bonus frequency", SavedGame::kBonusFrequency, 4, -1},
        Damage{"palms per island", SavedGame::kPalmsPerIsland, 4, 11}, Damage{"skill", SavedGame::kAiSkill, -4, kNaN},
        Damage{"winner", SavedGame::kWinnerSide, 4, 2}, Damage{"score table", SavedGame::kScoreTable, 4, 6},
        Damage{"nothing released", SavedGame::kTargetsReleased, 4, 0},
        Damage{"slow motion", SavedGame::kSlowMotionEnd, -8, kNaN},
        Damage{"speed stands still", SavedGame::kSpeed, -8, 0.0},
        Damage{"speed runs away", SavedGame::kSpeed, -8, 1e300},
        Damage{"vehicle factor", SavedGame::kVehicleFactors + 4, -4, -1.0}),
    [](const ::testing::TestParamInfo<Damage>& info) { return "Case" + std::to_string(info.index); });

TEST(SavedGame, ShortOrRandomBlocksAreNeverReadOutside) {
    GameTestEngine engine;
    Block block{};
    saveAChangedGame(engine, block);
    GameController& game = engine.startGame();
    // Cut anywhere inside the common part: refused, nothing read past the cut.
    for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{863}, SavedGame::kExtras - 1}) {
        std::vector<std::uint8_t> cut(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_FALSE(game.loadgame(SavedGame(cut.data(), cut.size()))) << size;
    }
    Random::seed(5);
    for (int round = 0; round < 200; ++round) {
        Block noise;
        for (auto& b : noise) b = static_cast<std::uint8_t>(Random::next());
        noise[0] = 1;
        game.loadgame(SavedGame(noise));  // whatever it decides, it stays in bounds
    }
    SaveBytes tail(block.data(), 8);
    EXPECT_EQ(tail.getU32(6), 0u);
    EXPECT_TRUE(std::isnan(SaveBytes().getF64(0)) == false);
    tail.putU32(6, 0xFFFFFFFFu);  // ignored
    EXPECT_EQ(tail.sub(6, 4).size(), 2u);
    EXPECT_EQ(tail.sub(9, 4).size(), 0u);
}
