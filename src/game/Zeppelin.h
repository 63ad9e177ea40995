#pragma once
// The zeppelin: the big enemy of the last wave pattern. Its hull cannot be destroyed
// (damage to it is undone at once); it carries four engine cars (ZeppelinPart) that
// must be shot off. While it has cars left it cruises slowly to the right, reappearing
// on the left of the view at a new height once it has drifted past the right edge, and
// drops its variant's load at intervals. When the last car is gone the game announces
// "Excellent!", the hull sinks for five seconds under a chain of small explosions, and
// then blows up in a row of large ones that also ends every spawner still running.
//
// Variants (the enemy's tint): 0 and 3 drop eight atom bombs every 10 s, 1 a bomber's
// bomb every 0.5 s, 2 and 4 a propelled bomb every 1.4 or 1.3 s; the cars' strength
// grows with the variant. What it drops is worth no points but keeps the wave going.
//
// States: 1 cruising, 2 sinking. Lives in the game's enemy list; its cars and drops
// live there too (in front of it), each owned by the list.
#include "game/Enemy.h"

class Zeppelin : public Enemy {
public:
    enum State : std::int32_t { kCruising = 1, kSinking = 2 };
    static constexpr float kHullHealth = 1000000.0f;
    static constexpr int kSkin = 3;  // of the "zeppelin" texture
    static constexpr float kScale = 2.0f;
    static constexpr float kCruiseSpeed = 16.0f;      // units per second
    static constexpr float kSinkGravity = -0.5f;      // units per second squared
    static constexpr double kSinkTime = 5.0;          // s from the last car to the blast
    static constexpr double kAnnouncementTime = 3.0;  // s
    static constexpr int kParts = 4;
    static constexpr float kPartOffsets[kParts] = {-80.0f, -16.0f, 48.0f, 112.0f};  // local x

    Zeppelin();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // Above the view on the left; its cars; its load's interval; the camera for it.
    void enter() override;
    // One of its cars was destroyed: after the last, it sinks.
    virtual void onPartDestroyed();
    void tick(double time, double dt) override { update(time, dt); }
    // Cruising, wrapping and dropping, or sinking and blowing up.
    virtual void update(double time, double dt);
    // The hull takes no lasting damage.
    void onHit(GameEntity* source, float taken) override;

    // Seconds between two drops of `variant`'s load.
    static double dropIntervalFor(std::uint32_t variant);

    float nextExplosionTime = 0.0f;  // s in state 2 of the next small explosion
    double dropTimer = 0.0;          // s
    double dropInterval = 10.0;      // s
    int partsLeft = 0;               // cars still attached

private:
    void placeOnLeft(float y);
    void wrap();
    void dropLoad(double dt);
    void dropAtomBombs();
    void dropBomberBomb();
    void dropPropelledBomb();
    void sink();
    void smallExplosion();
    void finalExplosion();
    Vector3 localPoint(float x) const;
};
