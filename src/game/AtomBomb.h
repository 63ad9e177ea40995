#pragma once
// A slow homing bomb: from its entry it turns toward a palm of the defending side at a
// limited rate and flies at it at a steady speed, trailing grey smoke. It explodes when
// shot, and sinks when it reaches the water.
//
// It picks its palm at its first update, so that a dropper (the zeppelin) can release
// it without entering it. Lives in the game's enemy list; the picture is the registry's.
#include "engine/Link.h"
#include "game/Enemy.h"

class AtomBomb : public Enemy {
public:
    static constexpr std::int32_t kScoreValue = 500;
    static constexpr float kHealth = 0.4f;
    static constexpr UColor kSmokeColour = 0xFF808080u;
    static constexpr float kSmokeAhead = 20.0f;  // units along the heading where the smoke starts

    AtomBomb();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // Around (tint 0) or from a side, heading roughly for the defending island.
    void enter() override;
    void tick(double time, double dt) override { update(time, dt); }
    // Target, turn, smoke, then motion.
    virtual void update(double time, double dt);
    void destroy(GameEntity* source) override;
    using GameEntity::destroy;
    void onWaterContact() override;

    double smokeTimer = 0.0;
    double smokeInterval;   // s: 0.015 with detail, else 0.045
    Link target{this};      // the palm it homes on; not owned
    float turnRate = 0.4f;  // rad/s
    float speed = 50.0f;    // units per second

private:
    void turnToTarget(float dt);
    void smoke(double dt);
};
