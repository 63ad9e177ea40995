#pragma once
// The cannon ball: one shell per press, thrown at the vehicle's power along the barrel,
// with a muzzle flash at detail 1 and more. Built on its own (the Duel's cannons) it is
// type 6, costs 0.125 energy a shot and fires into the cannon-shell list;
// Weapon::createFromType makes it type 0, free, firing into the player-shot list.
#include <cstdint>

#include "game/Weapon.h"

class WeaponCannon : public Weapon {
public:
    static constexpr float kFlashSpeed = 75.0f;  // units per second
    static constexpr float kFlashScale = 0.75f;
    static constexpr float kFlashLifeDecay = 256.0f;  // per second: a flash is brief

    explicit WeaponCannon(std::int32_t side);

    void fire(float x, float y, float z, float angle, float speed) override;
};
