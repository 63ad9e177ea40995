#pragma once
// A point mass pulled back to an anchor with a damped spring: what makes a palm sway.
// A hit kicks its velocity sideways; each step the spring force pulls it back toward
// `anchor` and the damping removes a share of its velocity, so it swings about the
// anchor with a falling amplitude. Units: world units, seconds.
//
// Not a child in the object tree: the palm holds it by value and ticks it itself.
// Main thread only.
#include "engine/Vector3.h"
#include "game/PointMass.h"

class Spring : public PointMass {
public:
    // Anchored where it stands (the origin), stiffness 1, no damping.
    Spring() = default;

    void tick(double time, double dt) override { update(time, dt); }
    // One step: the spring force (-stiffness x displacement) joins the accumulated
    // force; damping x dt of the velocity is removed (all of it when that share exceeds
    // 1); then the point-mass integration.
    virtual void update(double time, double dt);

    Vector3 anchor{0.0f, 0.0f, 0.0f};  // rest position
    float stiffness = 1.0f;            // force per unit of displacement
    float damping = 0.0f;              // share of the velocity removed per second
};
