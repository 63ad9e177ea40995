#pragma once
// A cannon ball: flies under gravity with its sprite turned along its path, sinks with a
// small splash in the water, and explodes when hit (detail x 6 + 4 sprites).
//
// Lives in the cannon-shell or player-shot list its weapon gave it, which owns it.
#include <cstdint>

#include "game/GameEntity.h"

class CannonShell : public GameEntity {
public:
    static constexpr float kContactDamage = 0.2f;
    static constexpr float kGravity = -128.0f;  // y acceleration, units per second squared
    static constexpr int kSkin = 8;             // of the "projectiles" sheet (9 under Bloated)

    // A shell of `side` at (x, y, z) moving at (vx, vy, vz) units per second.
    CannonShell(std::int32_t side, float x, float y, float z, float vx, float vy, float vz);

    void onWaterContact() override;
    void destroy(GameEntity* source) override;
    using GameEntity::destroy;
};
