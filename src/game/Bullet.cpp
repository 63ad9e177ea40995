#include "game/Bullet.h"

#include <cmath>
#include <numbers>

#include "game/GameController.h"
#include "game/GameFx.h"
#include "game/Splash.h"
#include "game/SpriteEffect.h"

namespace {
constexpr float kPi = std::numbers::pi_v<float>;
}  // namespace

Bullet::Bullet(std::int32_t side_, float x, float y, float z, float vx, float vy, float vz) : GameEntity(side_) {
    contactDamage = kContactDamage;
    velocity = Vector3{vx, vy, vz};
    heading = std::atan2(vy, vx);
    rotation.z = heading;
    position = Vector3{x, y, z};
    pSkin = GameFx::projectileSkin(kSkin);
    collisionSensitivity = GameFx::touchSensitivity(0.75f);
    updateXform();
}

void Bullet::tick(double, double dt) {
    const float step = static_cast<float>(dt);
    position = position + velocity * step;
    updateXform();
    if (position.y < kWaterLine) {
        pendingDelete = 1;
        if (GameFx::detailLevel() >= 1)
            GameFx::addToList(GameController::kEffectList,
                              new Splash(position.x, position.y, position.z, 20, 0.0f, 100.0f, kPi / 2, kPi / 2, 1.0f));
        GameFx::playAt(u"smallSplash", position);
        return;
    }
    if (!bVisible && leavesView()) pendingDelete = 1;
}

void Bullet::destroy(GameEntity*) {
    pendingDelete = 1;
    GameFx::addToList(GameController::kEffectList, new SpriteEffect(position.x, position.y, position.z, 5, 40.0f, 50.0f,
                                                                    std::atan2(velocity.y, velocity.x), kPi, 0.5f));
}
