#pragma once
// The enemy biplane: it comes in from a side at a random height, flies straight across
// at a speed that grows with the wave's level and, with a chance that grows too, drops
// one bomb (a slow-falling Bomb) so that it lands on a palm of the defending side. One
// hit of almost anything brings it down in a small explosion; it flies on over water.
//
// A biplane that flies below the middle of its target carries no bomb: no drop could
// reach the palm from there. Lives in the game's enemy list; owns its model (its skin).
#include "engine/Link.h"
#include "game/Enemy.h"

class BiplaneModel;

class EnemyBiplane : public Enemy {
public:
    static constexpr std::int32_t kScoreValue = 150;
    static constexpr float kHealth = 0.2f;
    static constexpr UColor kStartColour = 0xFF808080u;
    static constexpr float kBombGravity = 32.0f;  // units per second squared, downward

    EnemyBiplane();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // From a side; colour, heading, speed, and whether and where it drops its bomb.
    void enter() override;
    void tick(double time, double dt) override { update(time, dt); }
    // Motion, and the bomb once the plane has passed dropX.
    virtual void update(double time, double dt);
    // The model takes the heading, then draws.
    void render() override;
    void destroy(GameEntity* source) override;
    using GameEntity::destroy;

    BiplaneModel* model = nullptr;  // owned, as the skin
    Link target{this};              // the palm it bombs; not owned
    float dropX = 0.0f;             // x at which the bomb is let go
    std::uint8_t hasBomb = 0;       // still carries its bomb

private:
    void aimBomb();
    bool passedDropPoint() const;
    void dropBomb();
};
