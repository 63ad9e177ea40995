#pragma once
// The autocannon: an automatic gun that sprays bullets at 512 units per second within
// pi/64 either side of the barrel, each doing half a bullet's damage, whatever the
// vehicle's power. Built on its own (the Duel's cannons under Autocannons) it costs 0.07
// energy a shot and fires into the bullet list; Weapon::createFromType makes it type 1
// (or 0 under Autocannons) with its own cost, firing into the player-shot list.
#include <cstdint>

#include "game/Weapon.h"

class WeaponGun : public Weapon {
public:
    static constexpr float kBulletSpeed = 512.0f;   // units per second
    static constexpr float kScatter = 0.09817477f;  // pi / 32: the full width of the spray, radians

    explicit WeaponGun(std::int32_t side);

    void fire(float x, float y, float z, float angle, float speed) override;
};
