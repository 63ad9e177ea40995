#pragma once
// The falling bomb that the planes' bomb bays, enemy planes, armed balloons and the intro
// drop: it falls under its own gravity (128 units per second squared unless its maker
// sets another), points along its flight, explodes when a hit destroys it, and splashes
// when it reaches the water line (under the Bouncy bombs mutator it bounces back up at
// half speed until it comes down slower than 20 units per second). Where the game limits
// the bomb range (the Duel) an untouched bomb fizzles out in a puff of smoke after 3 s.
//
// Lives in the entity list its maker appended it to, which owns it; ends by its
// pending-delete flag.
#include <cstdint>

#include "game/GameEntity.h"

class Bomb : public GameEntity {
public:
    static constexpr float kGravity = -128.0f;  // y acceleration, units per second squared
    static constexpr int kSkin = 2;             // of "projectiles" (3 under Bloated)
    static constexpr float kCollisionSensitivity = 0.9f;
    static constexpr double kRangeTime = 3.0;          // s an untouched bomb lasts where the range is limited
    static constexpr float kBounceDamping = 0.5f;      // share of the speed a bounce keeps
    static constexpr float kLeastBounceSpeed = 20.0f;  // units per second: slower bounces end the bomb

    // A bomb of `side` at (x, y, z) moving at (vx, vy, vz) units per second.
    Bomb(std::int32_t side, float x, float y, float z, float vx, float vy, float vz);

    void tick(double time, double dt) override { update(time, dt); }
    // The motion step, the age, and the time-out where the range is limited.
    void update(double time, double dt);
    // The bomb comes down through the water line: it ends (or bounces), splashes at
    // detail 1 and more, and sounds.
    void onWaterContact() override;
    // A hit destroyed the bomb: it ends in an explosion.
    void destroy(GameEntity* source) override;
    using GameEntity::destroy;

    double age = 0.0;  // s since the bomb was made
};
