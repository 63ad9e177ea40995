#include "game/SavedGame.h"

#include <cmath>

#include "game/Weapon.h"

PlayerSaveBlock SavedGame::player(int side) const {
    if (side < 0 || side > 1) return PlayerSaveBlock(SaveBytes());
    return PlayerSaveBlock(
        bytes.sub(kPlayers + static_cast<std::size_t>(side) * PlayerSaveBlock::kSize, PlayerSaveBlock::kSize));
}

namespace {
bool within(std::int32_t v, std::int32_t lowest, std::int32_t highest) { return v >= lowest && v <= highest; }
}  // namespace

bool SavedGame::isSound() const {
    if (!bytes.contains(0, kExtras) || !validData()) return false;
    if (!player(0).isSound(0) || !player(1).isSound(1)) return false;
    const std::int32_t sides = bytes.getS32(kPlayerSides);
    const bool counts = within(bytes.getS32(kDifficulty), 0, 4) && within(sides, 1, 2) &&
                        within(bytes.getS32(kComputerPlayers), 0, 1) && within(bytes.getS32(kBonusFrequency), 0, 5) &&
                        within(bytes.getS32(kPalmsPerIsland), 1, 10) && within(bytes.getS32(kWinnerSide), 0, 1) &&
                        within(bytes.getS32(kScoreTable), 0, 5) && bytes.getS32(kTargetsReleased) >= 1;
    if (!counts) return false;
    const float skill = bytes.getF32(kAiSkill);
    const double speed = bytes.getF64(kSpeed);
    if (!(skill >= 0.0f && skill <= 1.0f) || !std::isfinite(bytes.getF64(kSlowMotionEnd))) return false;
    // The world's clock runs at `speed`: no standing still, no running backwards.
    if (!(speed > 0.0 && speed <= 4.0)) return false;
    for (std::size_t i = 0; i < 3; ++i) {
        const float f = bytes.getF32(kVehicleFactors + 4 * i);
        if (!(f >= 0.0f && f <= 100.0f)) return false;
    }
    return true;
}

bool SavedGame::isSoundInvasion() const {
    if (!bytes.contains(0, kInvasionSize) || !isSound()) return false;
    if (bytes.getS32(kWave) < 0 || bytes.getS32(kWaveCount) <= 0) return false;
    for (int side = 0; side < 2; ++side)
        if (!Weapon::isKnownType(player(side).bytes.getS32(PlayerSaveBlock::kWeaponType))) return false;
    return true;
}

bool SavedGame::isSoundDuel() const {
    if (!bytes.contains(0, kDuelSize) || !isSound()) return false;
    const std::int32_t days = bytes.getS32(kDays);
    return within(days, 1, kMaxDuelDays) && within(bytes.getS32(kDay), 1, days) && within(bytes.getS32(kRound), 0, 2) &&
           std::isfinite(bytes.getF64(kNextBonusTime));
}
