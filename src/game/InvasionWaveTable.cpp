#include "game/InvasionWaveTable.h"

#include <algorithm>
#include <iterator>

#include "game/EnemySpawner.h"

namespace {
using Row = InvasionWaveTable::Row;
using Type = EnemySpawner::Type;
constexpr std::uint32_t kOwn = 0;  // the enemies keep their own colours

const std::vector<Row> kWavePatterns[InvasionWaveTable::kPatterns] = {
    {{Type::kHotAirBalloon, 30, 1, false, kOwn, 0.0, 30.0},
     {Type::kHotAirBalloon, 8, 1, false, kOwn, 10.0, 30.0},
     {Type::kHotAirBalloon, 4, 1, false, kOwn, 20.0, 30.0}},
    {{Type::kBiplane, 16, 1, false, 0xFFFF2020u, 0.0, 30.0},
     {Type::kBiplane, 8, 1, false, 0xFFFF2080u, 0.0, 30.0},
     {Type::kBiplane, 4, 1, false, 0xFFFF20FFu, 0.0, 30.0},
     {Type::kHotAirBalloon, 10, 1, false, 0xFF20FF20u, 15.0, 20.0}},
    {{Type::kBiplane, 20, 1, true, 0xFFFF20FFu, 0.0, 30.0},
     {Type::kP35, 4, 3, true, 0xFF20FF20u, 0.0, 30.0},
     {Type::kHotAirBalloon, 2, 1, false, 0xFFFFFF20u, 0.0, 30.0}},
    {{Type::kPropelledBomb, 15, 1, false, kOwn, 0.0, 30.0},
     {Type::kAtomBomb, 3, 1, true, kOwn, 10.0, 30.0},
     {Type::kHotAirBalloon, 10, 1, false, 0xFFFF20FFu, 10.0, 20.0}},
    {{Type::kPropelledBomb, 5, 1, false, kOwn, 0.0, 30.0},
     {Type::kP35, 8, 3, true, 0xFF20FF20u, 0.0, 30.0},
     {Type::kHotAirBalloon, 10, 1, false, 0xFFFF20FFu, 10.0, 20.0}},
    {{Type::kTorpedo, 5, 1, true, kOwn, 0.0, 10.0},
     {Type::kTorpedo, 4, 2, true, kOwn, 15.0, 25.0},
     {Type::kTorpedo, 3, 3, true, kOwn, 30.0, 40.0},
     {Type::kHeavyTorpedo, 1, 1, true, kOwn, 40.0, 40.1}},
    {{Type::kBallistic, 10, 1, false, kOwn, 0.0, 30.0}, {Type::kPropelledBomb, 10, 1, false, kOwn, 20.0, 30.0}},
    {{Type::kCrate, 30, 1, false, kOwn, 0.0, 30.0}},
    {{Type::kHotAirBalloon, 30, 1, false, 0xFFC0C0C0u, 0.0, 30.0},
     {Type::kHotAirBalloonArmed, 5, 1, false, 0xFF404040u, 10.0, 30.0},
     {Type::kTorpedo, 3, 3, true, kOwn, 20.0, 35.0}},
    {{Type::kZeppelin, 1, 1, false, kOwn, 2.0, 2.1}},
};

// The extra group of the later waves, by decade from waves 11-20 on: how many kamikazes,
// and how many bombers (0: none yet). It comes in over the wave's first 35 s.
struct ExtraGroup {
    std::int32_t kamikazes;
    std::int32_t bombers;
};
constexpr ExtraGroup kExtraGroups[] = {{6, 0}, {8, 3}, {10, 4}, {12, 5}};
constexpr double kExtraStart = 5.0;  // s
constexpr double kExtraEnd = 35.0;   // s

Row extraRow(std::int32_t wave) {
    const auto decade = static_cast<std::size_t>((wave - 1) / InvasionWaveTable::kPatterns);
    const ExtraGroup& g = kExtraGroups[std::min(decade - 1, std::size(kExtraGroups) - 1)];
    const bool bombers = g.bombers > 0 && wave % 2 == 0;
    return Row{bombers ? Type::kBomber : Type::kKamikaze,
               bombers ? g.bombers : g.kamikazes,
               1,
               false,
               kOwn,
               kExtraStart,
               kExtraEnd};
}

std::int32_t forSides(std::int32_t count, std::int32_t sides) {
    return sides == 2 && count >= 2 ? count * 3 / 2 : count;
}
}  // namespace

std::vector<Row> InvasionWaveTable::rowsFor(std::int32_t wave) {
    if (wave < 1) return {};
    std::vector<Row> rows = kWavePatterns[(wave - 1) % kPatterns];
    if (wave > kPatterns) rows.push_back(extraRow(wave));
    return rows;
}

std::int32_t InvasionWaveTable::enemyCount(std::int32_t wave, std::int32_t sides) {
    std::int32_t n = 0;
    for (const Row& r : rowsFor(wave)) n += forSides(r.count, sides) * r.group;
    return n;
}

std::int32_t InvasionWaveTable::cameraDirection(std::int32_t wave) {
    static constexpr std::int32_t kByPlace[kPatterns] = {-1, -1, 0, 0, 1, 1, -1, 0, 1, 0};
    const std::int32_t place = ((wave - 1) % kPatterns + kPatterns) % kPatterns;
    const std::int32_t decade = (wave - 1) / kPatterns;
    return decade % 2 != 0 ? -kByPlace[place] : kByPlace[place];
}

bool InvasionWaveTable::cameraWide(std::int32_t wave) {
    const std::int32_t place = ((wave - 1) % kPatterns + kPatterns) % kPatterns;
    return place >= 6 && place <= 8;
}
