#pragma once
// The Duel plane's bomb bay: one bomb per press of fire, let go along the plane's path
// at the speed the plane hands over (1.2 x its own), after which it falls. Costs 0.2
// energy a bomb; the bombs go into the bomb list.
//
// Lifetime: owned by its plane (Vehicle::weapon). Main thread only.
#include <cstdint>

#include "game/Weapon.h"

class WeaponBombBay : public Weapon {
public:
    explicit WeaponBombBay(std::int32_t side);

    void fire(float x, float y, float z, float angle, float speed) override;
};
