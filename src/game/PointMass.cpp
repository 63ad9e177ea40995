#include "game/PointMass.h"

#include <cmath>

#include "engine/MathHelpers.h"

void PointMass::integrate(double, double dt) {
    const float step = static_cast<float>(dt);
    acceleration = Vector3{force.x / mass, force.y / mass, force.z / mass};
    velocity = velocity + acceleration * step;
    const float speed = vectorLength(velocity);
    if (speed != 0.0f) {
        if (drag > 0.0f) {
            const float loss = drag * step;
            velocity = loss > speed ? Vector3{0.0f, 0.0f, 0.0f} : velocity * ((speed - loss) / speed);
        }
        // Scaled by the speed before drag: drag and the limit never add speed.
        if (speed > maxSpeed) velocity = velocity * (maxSpeed / speed);
        previousPosition = position;
        position = position + velocity * step;
    }
    force = Vector3{0.0f, 0.0f, 0.0f};
}
