#include "game/Missile.h"

#include <cmath>
#include <numbers>

#include "game/GameController.h"
#include "game/GameFx.h"
#include "game/SpriteEffect.h"

namespace {
constexpr float kPi = std::numbers::pi_v<float>;
constexpr UColor kWhite = 0xFFFFFFFFu;
}  // namespace

Missile::Missile(std::int32_t side_, float x, float y, float z, float heading_, float speed)
    : GameEntity(side_), smokeInterval(GameFx::detailLevel() == 0 ? kSlowSmokeInterval : kSmokeInterval) {
    heading = heading_;
    velocity = Vector3{std::cos(heading) * speed, std::sin(heading) * speed, 0.0f};
    rotation.z = heading;
    position = Vector3{x, y, z};
    pSkin = GameFx::projectileSkin(kSkin);
    collisionSensitivity = 0.5f;
    updateXform();
}

void Missile::tick(double, double dt) {
    integrate(dt);
    if (GameFx::detailLevel() < 1) return;
    smokeTimer += dt;
    if (smokeTimer < smokeInterval) return;
    smokeTimer = 0.0;
    const float x = position.x - std::cos(heading) * kSmokeBehind;
    const float y = position.y - std::sin(heading) * kSmokeBehind;
    GameFx::addToList(GameController::kEffectList,
                      SpriteEffect::createSmoke(x, y, position.z, 2, 25.0f, 50.0f, heading, kPi / 4, 1.0f, kWhite),
                      true);
}

void Missile::onWaterContact() { GameFx::splashIntoWater(*this); }

void Missile::destroy(GameEntity*) {
    pendingDelete = 1;
    GameFx::addToList(GameController::kEffectList, SpriteEffect::createSmoke(position.x, position.y, position.z, 10,
                                                                             0.0f, 40.0f, 0.0f, 2 * kPi, 2.0f, kWhite));
    GameFx::playAt(u"missileHit", position);
}
