#include "game/Spring.h"

namespace {
float lengthSquared(const Vector3& v) { return v.x * v.x + v.y * v.y + v.z * v.z; }
}  // namespace

void Spring::update(double time, double dt) {
    const Vector3 displacement = position - anchor;
    force = force + displacement * -stiffness;
    const Vector3 loss = velocity * static_cast<float>(damping * dt);
    // A long frame must not push the mass backwards: removing more than all of the
    // velocity stops it instead.
    if (lengthSquared(loss) > lengthSquared(velocity))
        velocity = Vector3{0.0f, 0.0f, 0.0f};
    else
        velocity = velocity - loss;
    integrate(time, dt);
}
