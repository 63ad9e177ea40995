#include "game/FollowCamera.h"

#include "engine/ClassInfo.h"
#include "game/GameController.h"
#include "game/GameGlobal.h"
#include "game/PlayerData.h"

QOR_DEFINE_CLASS(FollowCamera, PointCamera, (&makeInstance<FollowCamera, BasicLink>))

FollowCamera::FollowCamera(std::int32_t side_) : side(side_) {}

FollowCamera::FollowCamera() : FollowCamera(0) {}

ClassInfo* FollowCamera::getClass() const { return &classInfo; }

void FollowCamera::tick(double time, double dt) {
    PointCamera::tick(time, dt);
    auto* app = dynamic_cast<GameGlobal*>(global);
    const PlayerData* player = app && app->pCurrentGame ? app->pCurrentGame->getPlayerData(side) : nullptr;
    Vector3 at{};
    if (player && player->getVehiclePosition(at)) {
        position.x = target.x = at.x;
        position.y = target.y = at.y;
    }
    keepAboveSeaBed();
}
