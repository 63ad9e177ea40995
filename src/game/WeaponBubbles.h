#pragma once
// The bubble gun: an automatic weapon that throws three wobbling bubbles per shot at a
// fixed 768 units per second, whatever the vehicle's power.
#include <cstdint>

#include "game/Weapon.h"

class WeaponBubbles : public Weapon {
public:
    static constexpr int kBubblesPerShot = 3;
    static constexpr float kBubbleSpeed = 768.0f;  // units per second

    explicit WeaponBubbles(std::int32_t side);

    void fire(float x, float y, float z, float angle, float speed) override;
};
