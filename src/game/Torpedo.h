#pragma once
// A torpedo that leaps out of the sea and comes down on a palm of the defending side:
// it starts on the water line with a random upward speed and the sideways speed that
// lands it on the middle of its palm, and is dangerous only while it falls. It leaves
// the water with a splash and sinks with another if it misses. The heavy torpedo takes
// more than twice the damage to stop.
//
// A palm whose middle lies higher than the torpedo can leap is aimed at from the top of
// the arc: the torpedo then passes over its x at the height it can reach. Lives in the
// game's enemy list; the "torpedo" picture is the registry's.
#include "engine/Link.h"
#include "game/Enemy.h"

class Torpedo : public Enemy {
public:
    static constexpr std::int32_t kScoreValue = 300;
    static constexpr float kHealth = 0.2f;
    static constexpr float kHeavyHealth = 0.5f;
    static constexpr float kGravity = -64.0f;    // units per second squared
    static constexpr float kLeapSpeed = 250.0f;  // the fastest upward speed, units per second

    // A small torpedo, or with `heavy` the heavy one (its own picture and health).
    explicit Torpedo(bool heavy = false);
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // On the water line inside the view, aimed at a palm.
    void enter() override;
    void tick(double time, double dt) override { update(time, dt); }
    // Motion; harmful while falling; the first update splashes out of the water.
    virtual void update(double time, double dt);
    void destroy(GameEntity* source) override;
    using GameEntity::destroy;
    void onWaterContact() override;

    // Seconds until the torpedo is back at height `h`: the later root of its arc, or,
    // when `h` lies above the arc, the time of the arc's top.
    float flightTimeTo(float h) const;

    std::uint8_t justLaunched = 1;  // the first update is still to come
    Link target{this};              // the palm it falls on; not owned
};
