#include "ui/BlenderCamera.h"

#include <algorithm>
#include <cmath>

#include "engine/ClassInfo.h"
#include "render/Easing.h"
#include "ui/PointCamera.h"

QOR_DEFINE_CLASS(BlenderCamera, Camera, (&makeInstance<BlenderCamera, BasicLink>))

BlenderCamera::BlenderCamera() : home(position) {}

ClassInfo* BlenderCamera::getClass() const { return &classInfo; }

void BlenderCamera::setPosition(float x, float y, float z) {
    home = position = Vector3{x, y, z};
    target.x = x;
    target.y = y;
    deleteChildren();
}

void BlenderCamera::postTick(double time, double dt) {
    position = blendKeyPoints(time, dt);
    target.x = position.x;
    target.y = position.y;
    shake(dt);
    // Eye and look-at as the base computes them, without snapping to whole units, so
    // that a glide moves smoothly.
    bPixelSnap = 0;
    Camera::tick(time, dt);
}

// Inputs: the key point children in order. Each one whose delay has run out is ticked
// and blended in from wherever the earlier ones brought the camera. State changed: the
// delays, the key points' progress, and the children (a key point before a completed
// one is deleted; other children are left alone). Output: the blended position.
Vector3 BlenderCamera::blendKeyPoints(double time, double dt) {
    Vector3 current = home;
    PointCamera* earlier = nullptr;
    for (BasicLink* link = firstChild; link;) {
        BasicLink* following = link->next;
        auto* key = dynamic_cast<PointCamera*>(link);
        if (key && !key->pendingDelete) {
            if (key->blendDelay > 0.0) {
                key->blendDelay -= dt;
            } else {
                key->tick(time, dt);
                easeCurve(current, current, key->position, key->blendProgress, key->blendCurve);
                // Once a later key point has arrived, the earlier one no longer shapes the path.
                if (key->blendProgress >= 1.0f && earlier) earlier->destroy();
                earlier = key;
            }
        }
        link = following;
    }
    return current;
}

void BlenderCamera::shake(double dt) {
    if (shakeElapsed >= shakeDuration) return;
    shakeElapsed = std::clamp(shakeElapsed + dt, 0.0, shakeDuration);
    roll =
        static_cast<float>(std::cos(shakeElapsed * kShakeFrequency) * (shakeDuration - shakeElapsed) * shakeStrength);
}
