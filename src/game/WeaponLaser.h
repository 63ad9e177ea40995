#pragma once
// The laser: one beam per press into the beam list, which strikes the nearest target on
// its line at once; at detail 1 and more a burst of flares marks the muzzle. The beam
// makes its own sounds.
#include <cstdint>

#include "game/Weapon.h"

class WeaponLaser : public Weapon {
public:
    explicit WeaponLaser(std::int32_t side);

    void fire(float x, float y, float z, float angle, float speed) override;
};
