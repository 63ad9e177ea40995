#pragma once
// A gun bullet: flies straight at the speed it was fired with, its sprite turned along
// that direction once. It splashes into the water below the water line and is removed
// once it is out of sight and flying away from the view; a hit makes a small burst.
//
// Lives in the entity list its weapon gave it (the bullet or player-shot list), which
// owns it; ends by its pending-delete flag.
#include <cstdint>

#include "game/GameEntity.h"

class Bullet : public GameEntity {
public:
    static constexpr float kContactDamage = 0.2f;
    static constexpr int kSkin = 6;  // of the "projectiles" sheet (7 under Bloated)

    // A bullet of `side` at (x, y, z) moving at (vx, vy, vz) units per second.
    Bullet(std::int32_t side, float x, float y, float z, float vx, float vy, float vz);

    // Straight flight without gravity, the water and the view (see above).
    void tick(double time, double dt) override;
    // A burst of 5 small sprites thrown on along the flight; flagged for deletion.
    void destroy(GameEntity* source) override;
    using GameEntity::destroy;
};
