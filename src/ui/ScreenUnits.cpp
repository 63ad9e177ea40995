#include "ui/ScreenUnits.h"

#include "engine/Qor.h"
#include "engine/VirtualScreen.h"
#include "render/Camera.h"
#include "render/QorGraphics.h"

Vector3 worldToScreenUnits(const Camera& camera, const Vector3& world) {
    const float halfWidth = static_cast<float>(kVirtualScreenWidth) / 2.0f;
    const float d = camera.target.z - camera.position.z;
    // The world size of one screen unit at the point's depth.
    const float s = (world.z - camera.position.z) / halfWidth;
    return Vector3{(world.x - (camera.position.x - d)) / s, (world.y - (camera.position.y - d * camera.aspect)) / s,
                   world.z};
}
