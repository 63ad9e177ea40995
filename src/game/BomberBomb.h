#pragma once
// The bomb that the bomber and the zeppelin drop: it falls under a gentle gravity,
// swinging to and fro, sinks with a small splash and explodes like a bomb when hit.
// Belongs to no side.
//
// Lives in the enemy-bomb or enemy list its dropper gave it, which owns it.
#include "game/GameEntity.h"

class BomberBomb : public GameEntity {
public:
    static constexpr float kGravity = -64.0f;  // y acceleration, units per second squared
    static constexpr float kSwing = 0.125f;    // radians either side
    static constexpr float kSwingRate = 8.0f;  // radians of phase per second
    static constexpr int kSkin = 0;            // of the "projectiles" sheet (1 under Bloated)

    // At (x, y, z), moving at `velocity`, turned by `rotation` (the dropper's).
    BomberBomb(const Vector3& position, const Vector3& velocity, const Vector3& rotation);

    // The motion step, then the swing: roll = 0.125 x sin(phase + 8 x time).
    void tick(double time, double dt) override;
    void onWaterContact() override;
    void destroy(GameEntity* source) override;
    using GameEntity::destroy;

    float spinPhase;  // radians in [0, 2 pi), drawn at construction
};
