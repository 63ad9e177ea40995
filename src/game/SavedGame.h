#pragma once
// A saved game block, the bytes a profile keeps so that a game can be continued. The
// common part (1808 bytes) belongs to GameController::savegame and loadgame; the modes
// append their extras from kExtras on (the Invasion block is 1840 bytes, the Duel
// block 1832). All numbers little-endian; padding is never written.
//
//   0    u8      bValidData: 1 when the block holds a game to continue
//   4    860     player record of side 0 (PlayerSaveBlock)
//   864  860     player record of side 1
//   1724 s32 difficulty   1728 s32 playerSides   1732 s32 computerPlayers
//   1736 u8  bBonusesAllowed, bSabotageAllowed, bReservedFlag, bLimitBombRange
//   1740 s32 bonusFrequency   1744 s32 palmsPerIsland   1748 f32 aiSkill
//   1752 s32 winnerSide   1756 u8 bRatingHalved   1757 u8 bScoreFlag
//   1760 f64 slowMotionEnd   1768 s32 scoreTable   1772 s32 targetsReleased
//   1776 7 x u8 the mutators (bMatrixFight .. bPX35)   1784 f64 speed
//   1792 3 x f32 vehicleFactors   1808 the mode's extras:
//   Invasion 1808 s32 wave   1812 s32 waveCount   1832 4 x u8 the tips shown
//   Duel     1808 s32 day   1812 s32 round   1816 s32 days   1824 f64 nextBonusTime
//
// A view over bytes owned elsewhere (the profile's block): it never reads or writes
// outside them. A block read from a profile file is untrusted: check it with the check
// of its mode (invasionFault, duelFault) before taking anything from it; the rules
// screens, GameController::startGame and loadgame do.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "game/PlayerSaveBlock.h"
#include "game/SaveBytes.h"

class SavedGame {
public:
    static constexpr std::size_t kValid = 0;
    static constexpr std::size_t kPlayers = 4;  // side s at kPlayers + s * PlayerSaveBlock::kSize
    static constexpr std::size_t kDifficulty = 1724;
    static constexpr std::size_t kPlayerSides = 1728;
    static constexpr std::size_t kComputerPlayers = 1732;
    static constexpr std::size_t kBonusesAllowed = 1736;
    static constexpr std::size_t kSabotageAllowed = 1737;
    static constexpr std::size_t kReservedFlag = 1738;
    static constexpr std::size_t kLimitBombRange = 1739;
    static constexpr std::size_t kBonusFrequency = 1740;
    static constexpr std::size_t kPalmsPerIsland = 1744;
    static constexpr std::size_t kAiSkill = 1748;
    static constexpr std::size_t kWinnerSide = 1752;
    static constexpr std::size_t kRatingHalved = 1756;
    static constexpr std::size_t kScoreFlag = 1757;
    static constexpr std::size_t kSlowMotionEnd = 1760;
    static constexpr std::size_t kScoreTable = 1768;
    static constexpr std::size_t kTargetsReleased = 1772;
    static constexpr std::size_t kMutators = 1776;
    static constexpr std::size_t kSpeed = 1784;
    static constexpr std::size_t kVehicleFactors = 1792;
    static constexpr std::size_t kExtras = 1808;
    static constexpr std::size_t kWave = 1808;  // Invasion
    static constexpr std::size_t kWaveCount = 1812;
    static constexpr std::size_t kTipsShown = 1832;  // energy, crate, bonus, tree
    static constexpr std::size_t kDay = 1808;        // Duel
    static constexpr std::size_t kRound = 1812;
    static constexpr std::size_t kDays = 1816;
    static constexpr std::size_t kNextBonusTime = 1824;
    static constexpr std::size_t kInvasionSize = 1840;
    static constexpr std::size_t kDuelSize = 1832;
    static constexpr std::int32_t kMaxDuelDays = 5;        // the length of a Duel war
    static constexpr std::int32_t kMaxInvasionWaves = 50;  // the length of the campaign

    SavedGame(std::uint8_t* data, std::size_t size) : bytes(data, size) {}
    template <std::size_t N>
    explicit SavedGame(std::array<std::uint8_t, N>& block) : bytes(block.data(), N) {}

    bool validData() const { return bytes.getU8(kValid) != 0; }
    void setValidData(bool valid) const { bytes.putU8(kValid, valid ? 1 : 0); }
    PlayerSaveBlock player(int side) const;
    // A block GameController::loadgame may take: long enough for the common part, valid,
    // both player records sound (PlayerSaveBlock::fault) and every controller field
    // within what a game can hold: difficulty 0..4, 1..2 player sides, 0..1 computer
    // players, bonus frequency 0..5, 1..10 palms per island, winner side 0..1, score
    // table 0..5, finite numbers, a speed in (0, 4], targetsReleased at least 1 (the
    // ratings divide by it). Otherwise why not, in a few words for the log.
    std::u16string fault() const;
    // The Invasion's block whole: the common part, the Invasion's size, a campaign of
    // 1..kMaxInvasionWaves waves and a wave within it (the waves finished, 0..count - 1),
    // side 0's palms as many as the rules plant, and each side's weapon type one that
    // Weapon::createFromType makes (0..5).
    std::u16string invasionFault() const;
    // The Duel's block whole: the common part, the Duel's size, 1..kMaxDuelDays days, a
    // day within them, round 0..2 (saved before it counts up) and a finite bonus time.
    std::u16string duelFault() const;
    bool isSound() const { return fault().empty(); }
    bool isSoundInvasion() const { return invasionFault().empty(); }
    bool isSoundDuel() const { return duelFault().empty(); }

    SaveBytes bytes;
};
