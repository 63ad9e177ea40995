#include "ui/PointCamera.h"

#include <algorithm>

#include "engine/ClassInfo.h"

QOR_DEFINE_CLASS(PointCamera, Camera, (&makeInstance<PointCamera, BasicLink>))

PointCamera::PointCamera(float x, float y, float z) {
    position = Vector3{x, y, z};
    target.x = x;
    target.y = y;
    keepAboveSeaBed();
}

PointCamera::PointCamera() { keepAboveSeaBed(); }

ClassInfo* PointCamera::getClass() const { return &classInfo; }

void PointCamera::tick(double, double dt) {
    if (blendProgress >= 1.0f) return;
    blendElapsed += dt;
    const double progress = blendTime == 0.0 ? 1.0 : blendElapsed / blendTime;
    blendProgress = static_cast<float>(std::clamp(progress, 0.0, 1.0));
}

void PointCamera::keepAboveSeaBed() {
    const float bottom = getViewRect(0.0f).bottom;
    if (bottom >= kLowestViewY) return;
    position.y += kLowestViewY - bottom;
    target.y += kLowestViewY - bottom;
}
