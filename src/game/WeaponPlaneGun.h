#pragma once
// The Duel plane's gun for the dogfight: one bullet per press of fire, always at 512
// units per second along the heading whatever the plane's speed. Costs 0.15 energy a
// shot; the bullets go into the bullet list.
//
// Lifetime: owned by its plane (Vehicle::weapon). Main thread only.
#include <cstdint>

#include "game/Weapon.h"

class WeaponPlaneGun : public Weapon {
public:
    static constexpr float kBulletSpeed = 512.0f;  // units per second

    explicit WeaponPlaneGun(std::int32_t side);

    void fire(float x, float y, float z, float angle, float speed) override;
};
