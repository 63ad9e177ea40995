#include "game/GameCamera.h"

#include <algorithm>

#include "engine/ClassInfo.h"
#include "game/GameController.h"
#include "game/GameGlobal.h"
#include "game/PlayerData.h"
#include "render/Easing.h"

QOR_DEFINE_CLASS(GameCamera, PointCamera, (&makeInstance<GameCamera, BasicLink>))

GameCamera::GameCamera() = default;

ClassInfo* GameCamera::getClass() const { return &classInfo; }

void GameCamera::tick(double time, double dt) {
    PointCamera::tick(time, dt);
    auto* app = dynamic_cast<GameGlobal*>(global);
    GameController* game = app ? app->pCurrentGame : nullptr;
    Vector3 a{}, b{};
    if (!game || !game->getPlayerData(0)->getVehiclePosition(a) || !game->getPlayerData(1)->getVehiclePosition(b))
        return;
    if (zoomProgress < 1.0f) zoomProgress = std::clamp(zoomProgress + static_cast<float>(dt), 0.0f, 1.0f);
    const float left = std::min(a.x, b.x) - kMargin, right = std::max(a.x, b.x) + kMargin;
    const float bottom = std::min(a.y, b.y) - kMargin, top = std::max(a.y, b.y) + kMargin;
    // Measured in widths: a tall box counts by the width the screen needs to show it.
    const float size = std::max(right - left, (top - bottom) / aspect);
    if (!zoomedOut && size > kZoomOut) startZoom(1, kFarZ);
    if (zoomedOut && size < kZoomIn) startZoom(0, kNearZ);
    Vector3 z{};
    easeCurve(z, Vector3{0.0f, 0.0f, startDistance}, Vector3{0.0f, 0.0f, targetDistance}, zoomProgress, kEaseInOutSine);
    position = Vector3{(left + right) * 0.5f, (bottom + top) * 0.5f, z.z};
    target.x = position.x;
    target.y = position.y;
    keepAboveSeaBed();
}

void GameCamera::startZoom(std::uint8_t out, float distance) {
    zoomedOut = out;
    targetDistance = distance;
    startDistance = position.z;
    zoomProgress = 0.0f;
}
