#include "game/SavedGame.h"

#include <cmath>

#include "engine/Format.h"
#include "game/Weapon.h"

PlayerSaveBlock SavedGame::player(int side) const {
    if (side < 0 || side > 1) return PlayerSaveBlock(SaveBytes());
    return PlayerSaveBlock(
        bytes.sub(kPlayers + static_cast<std::size_t>(side) * PlayerSaveBlock::kSize, PlayerSaveBlock::kSize));
}

namespace {
struct Count {
    std::size_t offset;
    const char16_t* name;
    std::int32_t lowest, highest;
};

// The controller's counts as a game can hold them.
constexpr Count kCounts[] = {
    {SavedGame::kDifficulty, u"difficulty", 0, 4},
    {SavedGame::kPlayerSides, u"player sides", 1, 2},
    {SavedGame::kComputerPlayers, u"computer players", 0, 1},
    {SavedGame::kBonusFrequency, u"bonus frequency", 0, 5},
    {SavedGame::kPalmsPerIsland, u"palms per island", 1, 10},
    {SavedGame::kWinnerSide, u"winner side", 0, 1},
    {SavedGame::kScoreTable, u"score table", 0, 5},
    {SavedGame::kTargetsReleased, u"targets released", 1, INT32_MAX},  // the ratings divide by it
};

bool within(std::int32_t v, std::int32_t lowest, std::int32_t highest) { return v >= lowest && v <= highest; }

std::u16string outside(const char16_t* name, std::int32_t v, std::int32_t lowest, std::int32_t highest) {
    return formatString(u"%s %d is not within %d..%d", name, v, lowest, highest);
}
}  // namespace

std::u16string SavedGame::fault() const {
    if (!bytes.contains(0, kExtras)) return formatString(u"the block is cut short (%u bytes)", bytes.size());
    if (!validData()) return u"the block is not marked valid";
    for (int side = 0; side < 2; ++side)
        if (std::u16string why = player(side).fault(side); !why.empty())
            return formatString(u"player record %d: %s", side, why);
    for (const Count& c : kCounts)
        if (const std::int32_t v = bytes.getS32(c.offset); !within(v, c.lowest, c.highest))
            return outside(c.name, v, c.lowest, c.highest);
    const float skill = bytes.getF32(kAiSkill);
    if (!(skill >= 0.0f && skill <= 1.0f)) return formatString(u"AI skill %g is not within 0..1", skill);
    if (!std::isfinite(bytes.getF64(kSlowMotionEnd))) return u"the end of the slow motion is not a number";
    // The world's clock runs at `speed`: no standing still, no running backwards.
    const double speed = bytes.getF64(kSpeed);
    if (!(speed > 0.0 && speed <= 4.0)) return formatString(u"speed %g is not within (0, 4]", speed);
    for (std::size_t i = 0; i < 3; ++i) {
        const float f = bytes.getF32(kVehicleFactors + 4 * i);
        if (!(f >= 0.0f && f <= 100.0f)) return formatString(u"vehicle factor %u is %g, not within 0..100", i, f);
    }
    return {};
}

std::u16string SavedGame::invasionFault() const {
    if (!bytes.contains(0, kInvasionSize))
        return formatString(u"the block is cut short (%u bytes, not %u)", bytes.size(), kInvasionSize);
    if (std::u16string why = fault(); !why.empty()) return why;
    const std::int32_t waves = bytes.getS32(kWaveCount);
    if (!within(waves, 1, kMaxInvasionWaves)) return outside(u"wave count", waves, 1, kMaxInvasionWaves);
    const std::int32_t wave = bytes.getS32(kWave);
    if (!within(wave, 0, waves - 1)) return outside(u"wave", wave, 0, waves - 1);
    // The world is rebuilt from the rules, then the palms are restored record by record.
    const std::int32_t palms = bytes.getS32(kPalmsPerIsland);
    const std::int32_t planted = player(0).bytes.getS32(PlayerSaveBlock::kTotalPalms);
    if (planted != palms) return formatString(u"player record 0 holds %d palms, the rules plant %d", planted, palms);
    for (int side = 0; side < 2; ++side)
        if (const std::int32_t type = player(side).bytes.getS32(PlayerSaveBlock::kWeaponType);
            !Weapon::isKnownType(type))
            return formatString(u"player record %d: weapon type %d is unknown", side, type);
    return {};
}

std::u16string SavedGame::duelFault() const {
    if (!bytes.contains(0, kDuelSize))
        return formatString(u"the block is cut short (%u bytes, not %u)", bytes.size(), kDuelSize);
    if (std::u16string why = fault(); !why.empty()) return why;
    const std::int32_t days = bytes.getS32(kDays);
    if (!within(days, 1, kMaxDuelDays)) return outside(u"days", days, 1, kMaxDuelDays);
    if (const std::int32_t day = bytes.getS32(kDay); !within(day, 1, days)) return outside(u"day", day, 1, days);
    if (const std::int32_t round = bytes.getS32(kRound); !within(round, 0, 2)) return outside(u"round", round, 0, 2);
    if (!std::isfinite(bytes.getF64(kNextBonusTime))) return u"the time of the next bonus is not a number";
    return {};
}
