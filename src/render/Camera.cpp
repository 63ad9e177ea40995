#include "render/Camera.h"

#include <cmath>

#include "engine/ClassInfo.h"
#include "engine/Qor.h"
#include "engine/VirtualScreen.h"
#include "platform/GraphicsDevice.h"
#include "render/Matrix.h"
#include "render/QorGraphics.h"

QOR_DEFINE_CLASS(Camera, QorBase, (&makeInstance<Camera, BasicLink>))

namespace {
// The virtual screen, for cameras made while there is no graphics service (tools, tests).
}  // namespace

Camera::Camera()
    : position{0.0f, 0.0f, -static_cast<float>(kVirtualScreenWidth) / 2.0f},
      aspect(static_cast<float>(kVirtualScreenHeight) / static_cast<float>(kVirtualScreenWidth)) {
    tick(0.0, 0.0);
}

ClassInfo* Camera::getClass() const { return &classInfo; }

void Camera::tick(double, double) {
    auto snap = [this](float v) { return bPixelSnap ? std::trunc(v) : v; };
    if (!qor->pQorGraphics) {
        // No presentation: no pixels to align to.
        eye = Vector3{snap(position.x), snap(position.y), position.z};
        at = Vector3{snap(target.x), snap(target.y), target.z};
        return;
    }
    const QorGraphics& g = qor->graphics();
    const float zoom = (target.z - position.z) / (static_cast<float>(g.virtualWidth) * 0.5f);
    // A viewport of no size has no pixels to align to.
    const float rx =
        g.viewportWidth > 0 ? static_cast<float>(g.virtualWidth) / static_cast<float>(g.viewportWidth) : 0.0f;
    const float ry =
        g.viewportHeight > 0 ? static_cast<float>(g.virtualHeight) / static_cast<float>(g.viewportHeight) : 0.0f;
    // Closer than the default distance, a pixel covers fewer world units.
    const float k = zoom > 1.0f ? 1.0f : zoom;
    const float dx = g.texelAlignment.x * rx * k;
    const float dy = g.texelAlignment.y * ry * k;
    eye = Vector3{snap(position.x) + dx, snap(position.y) + dy, position.z};
    at = Vector3{snap(target.x) + dx, snap(target.y) + dy, target.z};
}

void Camera::render() {
    GraphicsDevice& device = *qor->graphics().dxDevice;
    device.setTransform(TransformKind::kProjection, Matrix::perspectiveLH(2.0f, 2.0f * aspect, kNearPlane, kFarPlane));
    const Vector3 up{std::sin(roll), std::cos(roll), 0.0f};
    device.setTransform(TransformKind::kView, Matrix::lookAtLH(eye, at, up));
}

void Camera::postTick(double, double) {}

ViewRect Camera::getViewRect(float z) const {
    const float d = z - position.z;
    return ViewRect{position.x - d, position.y + aspect * d, position.x + d, position.y - aspect * d};
}
