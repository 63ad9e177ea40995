#pragma once
// A bubble of the bubble gun: flies at a fixed speed along a direction that wobbles
// around its firing heading (by at most pi/4), and bursts with a pop when hit. Like a
// bullet it is removed once out of sight and flying away from the view.
//
// Lives in the player-shot list of its weapon, which owns it.
#include <cstdint>

#include "game/GameEntity.h"

class BubbleProjectile : public GameEntity {
public:
    static constexpr float kContactDamage = 0.05f;
    static constexpr int kSkin = 4;  // of the "projectiles" sheet (5 under Bloated)

    // A bubble of `side` at (x, y, z) fired along `angle` (radians) at `speed`. Draws
    // four random values: wobble phase, wobble frequency, wobble amplitude, size.
    BubbleProjectile(std::int32_t side, float x, float y, float z, float angle, float speed);

    // Direction a = heading + amplitude x sin((phase + time) x frequency); moves at
    // `speed` along a, the sprite turned to it.
    void tick(double time, double dt) override;
    // "bubbleBurst"; flagged for deletion.
    void destroy(GameEntity* source) override;
    using GameEntity::destroy;

    float speed;            // units per second
    float wobblePhase;      // radians, [0, 2 pi)
    float wobbleFrequency;  // radians per second of phase, 8 to 16
    float wobbleAmplitude;  // radians, u^2 x pi/4: most bubbles wobble little
};
