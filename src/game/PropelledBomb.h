#pragma once
// A rocket-driven bomb that hunts a palm of the defending side: once a second it turns
// toward its palm, with a random error that grows with its distance and the wave's
// level, and never dives into the water. Its body tumbles through its frames and its
// flame flickers. Hit, it is pushed and set spinning; destroyed, it explodes, stops
// being dangerous and falls spinning into the sea.
//
// States: 1 flying, 2 destroyed and falling. A tint of kPlacedByDropper leaves its
// position to the one who dropped it (the zeppelin). Lives in the game's enemy list;
// the "propelledBomb" picture is the registry's.
#include "engine/Link.h"
#include "game/Enemy.h"
#include "render/Renderable.h"

class Texture;

class PropelledBomb : public Enemy {
public:
    enum State : std::int32_t { kFlying = 1, kFalling = 2 };
    static constexpr std::int32_t kScoreValue = 250;
    static constexpr float kHealth = 0.2f;
    static constexpr std::uint32_t kPlacedByDropper = 0xFF;  // tint: no entry point
    static constexpr float kFallGravity = -128.0f;
    static constexpr int kFirstBodyFrame = 8, kLastBodyFrame = 23, kFlameFrames = 8;

    PropelledBomb();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // Around (tint 0) or from a side, unless placed by a dropper; speed, palm, sound.
    void enter() override;
    void tick(double time, double dt) override { update(time, dt); }
    virtual void update(double time, double dt);
    // The bomb, then its flame while it flies.
    void render() override;
    // Pushed along the source's velocity and set spinning by the source's heading.
    void onHit(GameEntity* source, float taken) override;
    // Explodes, then falls spinning, harmless.
    void destroy(GameEntity* source) override;
    using GameEntity::destroy;
    void onWaterContact() override;

    double steerTimer = 0.0;
    double steerInterval = 1.0;  // s
    double animationTimer = 0.0;
    double frameInterval = 0.025;  // s
    Texture* texture = nullptr;    // "propelledBomb"
    int flameFrame = 0;            // 0 to 7
    int bodyFrame;                 // 8 to 23
    int bodyFrameStep = 1;         // +1 or -1: the tumble's direction
    float spinRate = 0.0f;         // rad/s while falling
    float speed = 0.0f;            // units per second
    Link target{this};             // the palm it hunts; not owned
    Renderable flame;              // drawn over the bomb while it flies; not in the tree

private:
    void animate();
    void steer();
    void showFrames();
};
