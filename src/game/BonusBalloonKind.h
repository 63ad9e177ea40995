#pragma once
// The six kinds of bonus balloon, by kind index (GameController::spawnBonusBalloon draws
// it): 0 "Double damage!", 1 "Defensive protection!", 2 "Double blaster capacity!" for
// the popping side; and the sabotage kinds 3 "Blaster halved!", 4 "Turning rate halved!",
// 5 "Speed halved!" against the other side. Each has its balloon picture, its label, an
// icon on the vehicle it changes and a sound. The changes multiply and last until the
// game resets the vehicle's factors (the next Invasion wave, a new Duel round).
//
// Lifetime and needs as BonusBalloon; besides, the skins "hud-bonusicons:i" and the
// sounds "bonusPickup+" and "bonusPickup-".
#include <cstdint>

#include "game/BonusBalloon.h"

class BonusBalloonKind : public BonusBalloon {
public:
    static constexpr int kKinds = 6;
    static constexpr int kHelpfulKinds = 3;  // 0 .. 2; the rest are sabotage

    // A balloon of `kind` (0 .. 5; anything else is a program error) at (x, y, z) that
    // vanishes after `lifetime` seconds.
    BonusBalloonKind(std::int32_t kind, float x, float y, float z, double lifetime);

    // Changes the target side's vehicle (none: no change), gives it the icon and plays
    // the kind's sound.
    void applyBonus(std::int32_t side) override;

    std::int32_t kind;  // 0 .. 5
};
