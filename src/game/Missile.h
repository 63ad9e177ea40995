#pragma once
// A rocket: flies straight along its heading at a constant speed, trailing smoke puffs
// (detail 1 and more), sinks with a small splash and bursts into smoke when hit.
//
// Lives in the player-shot list of its weapon, which owns it.
#include <cstdint>

#include "game/GameEntity.h"

class Missile : public GameEntity {
public:
    static constexpr int kSkin = 10;                     // of the "projectiles" sheet (11 under Bloated)
    static constexpr double kSmokeInterval = 0.015;      // s between puffs
    static constexpr double kSlowSmokeInterval = 0.045;  // s, at detail level 0
    static constexpr float kSmokeBehind = 16.0f;         // units behind the missile

    // A missile of `side` at (x, y, z) flying along `heading` (radians) at `speed`.
    Missile(std::int32_t side, float x, float y, float z, float heading, float speed);

    // The motion step, then a smoke puff every smoke interval (detail 1 and more),
    // inserted at the front of the effect list.
    void tick(double time, double dt) override;
    void onWaterContact() override;
    // Ten puffs of white smoke all around and "missileHit"; flagged for deletion.
    void destroy(GameEntity* source) override;
    using GameEntity::destroy;

    double smokeTimer = 0.0;  // s since the last puff
    double smokeInterval;     // s
};
