#pragma once
// The rocket launcher: one missile per press, flying straight along the barrel at the
// vehicle's power.
#include <cstdint>

#include "game/Weapon.h"

class WeaponMissile : public Weapon {
public:
    explicit WeaponMissile(std::int32_t side);

    void fire(float x, float y, float z, float angle, float speed) override;
};
