#pragma once
// One rocket of the results screen's fireworks. It has no picture of its own: while it
// flies it leaves a trail of small white spark bursts, and when its fuse has burnt it
// bursts into a large spray of sparks of its colour with a bang.
//
// Units: world units and seconds; the rocket falls under kGravity. The sparks are
// FlareBursts added to the rocket's parent (an entity list), so they live on after it.
//
// Lifetime: made by the results screen and appended to an entity list of the current
// game, which owns it; on its burst it flags itself for deletion. Needs "flare" and the
// sound "fireworkBang" in the resource registry. Main thread only.
#include "engine/QorBase.h"
#include "engine/Vector3.h"
#include "render/UColor.h"

class Firework : public QorBase {
public:
    static constexpr float kGravity = 128.0f;         // units per second squared, downward
    static constexpr double kTrailInterval = 0.015;   // s between trail bursts
    static constexpr double kLowDetailTrail = 0.045;  // s between trail bursts at detail 0
    static constexpr int kBurstSparks = 100;          // halved at detail 0
    static constexpr int kTrailSparks = 3;
    static constexpr float kBurstSize = 3.0f;       // spark scale of the burst
    static constexpr float kTrailStartSize = 2.0f;  // spark scale of the trail at launch, 0 at the burst
    static constexpr UColor kTrailColour = 0xFFFFFFFFu;

    // A rocket at `position` flying at `velocity`, bursting in `colour` after a fuse
    // drawn once from the shared generator in [fuseLow, fuseHigh).
    Firework(const Vector3& position, const Vector3& velocity, UColor colour, double fuseLow, double fuseHigh);

    void tick(double time, double dt) override { update(time, dt); }
    // The burst once the fuse has burnt (the rocket still finishes this update), the
    // trail, then the flight.
    virtual void update(double time, double dt);

    Vector3 position;
    Vector3 velocity;                             // units per second
    Vector3 acceleration{0.0f, -kGravity, 0.0f};  // units per second squared
    UColor colour;                                // of the burst
    double fuse;                                  // s from launch to the burst
    double age = 0.0;                             // s since launch
    double trailTimer = 0.0;                      // s since the last trail burst
    double trailInterval;                         // s, by the detail level

private:
    void burst();
    void leaveTrail();
    void addToParent(QorBase* effect);
};
