#include "ui/BlenderCamera.h"

#include <algorithm>
#include <cmath>

#include "engine/ClassInfo.h"

QOR_DEFINE_CLASS(BlenderCamera, Camera, (&makeInstance<BlenderCamera, BasicLink>))

namespace {
constexpr double kShakeFrequency = 32.0;  // radians of the shake's wave per second
}

BlenderCamera::BlenderCamera() : home(position) {}

ClassInfo* BlenderCamera::getClass() const { return &classInfo; }

void BlenderCamera::setPosition(float x, float y, float z) {
    home = position = Vector3{x, y, z};
    target.x = x;
    target.y = y;
    deleteChildren();
}

void BlenderCamera::postTick(double time, double dt) {
    position = home;
    target.x = position.x;
    target.y = position.y;
    if (shakeElapsed < shakeDuration) {
        shakeElapsed = std::clamp(shakeElapsed + dt, 0.0, shakeDuration);
        roll = static_cast<float>(std::cos(shakeElapsed * kShakeFrequency) * (shakeDuration - shakeElapsed) *
                                  shakeStrength);
    }
    // Eye and look-at as the base computes them, without snapping to whole units, so
    // that a glide moves smoothly.
    bPixelSnap = 0;
    Camera::tick(time, dt);
}
