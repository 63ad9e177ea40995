#pragma once
// A particle with mass, drag and a speed limit that integrates the forces its users
// accumulate in `force` once per tick (the palms sway with it, directly and through
// their spring). Units: world units, seconds; forces in mass x units per second squared.
//
// A plain engine object; its tick is integrate(). Users add to `force` before the tick;
// the tick clears it.
#include "engine/QorBase.h"
#include "engine/Vector3.h"

class PointMass : public QorBase {
public:
    static constexpr float kDefaultMaxSpeed = 1000000.0f;

    PointMass() = default;

    void tick(double time, double dt) override { integrate(time, dt); }
    // One step: acceleration = force / mass, velocity += acceleration x dt; a moving
    // mass then loses `drag` x dt of speed (stopping exactly when that is more than it
    // has), is held to `maxSpeed` and moves by velocity x dt, its old position kept in
    // `previousPosition`. A mass at rest stays put. The force is cleared.
    virtual void integrate(double time, double dt);

    Vector3 position{0.0f, 0.0f, 0.0f};
    Vector3 previousPosition{0.0f, 0.0f, 0.0f};  // where the last moving step started
    Vector3 velocity{0.0f, 0.0f, 0.0f};          // units per second
    Vector3 acceleration{0.0f, 0.0f, 0.0f};      // units per second squared, from the last step
    Vector3 force{0.0f, 0.0f, 0.0f};             // the sum of the forces since the last step
    float mass = 1.0f;
    float drag = 0.0f;  // a deceleration along the velocity, units per second squared
    float maxSpeed = kDefaultMaxSpeed;
};
