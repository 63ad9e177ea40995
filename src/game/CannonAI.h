#pragma once
// The computer's cannon: instead of reading keys it thinks once per frame. It scores
// the enemy bombs by how near they will come down to its own standing palms, the enemy
// plane by how straight it flies at the cannon, and the visible bonus balloons, aims
// (leading the target, allowing for the shell's fall) at the best of them, and fires on
// a rhythm whose pauses shrink with the game's AI skill and with better aim.
//
// Scores lie in [0, 1], or kNone without a candidate. Everything it follows is held by
// links that read as null once the object is gone. Lifetime and units as Cannon. Main
// thread only.
#include <cstdint>

#include "engine/TypedLink.h"
#include "game/Cannon.h"
#include "game/GameEntity.h"

class CannonAI : public Cannon {
public:
    static constexpr float kNone = -1.0f;
    static constexpr float kShellGravity = -128.0f;  // units per second squared: a cannon ball's fall

    explicit CannonAI(std::int32_t side);

    // Replaces the human control: the think operation of the cannon.
    void control() override;
    virtual void think();

    // The scoring helpers: each sets its target link (or clears it) and its score.
    void scorePalmThreats();
    void scoreOpponent();
    void scoreBonuses();

    double nextFireTime = 0.0;     // scene clock s of the next shot; 0 = none scheduled
    TypedLink<GameEntity> threat;  // the enemy bomb most dangerous to the own palms; not owned
    float threatScore = kNone;
    TypedLink<Vehicle> opponent;  // the enemy side's vehicle; not owned
    float opponentScore = kNone;
    TypedLink<GameEntity> bonusTarget;  // the nearest visible bonus balloon; not owned
    float bonusScore = kNone;

private:
    GameEntity* pickTarget();
    float threatTo(const GameEntity& bomb) const;
};
