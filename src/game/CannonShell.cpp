#include "game/CannonShell.h"

#include <cmath>
#include <numbers>

#include "game/GameController.h"
#include "game/GameFx.h"
#include "game/SpriteEffect.h"

namespace {
constexpr float kPi = std::numbers::pi_v<float>;
}  // namespace

CannonShell::CannonShell(std::int32_t side_, float x, float y, float z, float vx, float vy, float vz)
    : GameEntity(side_) {
    contactDamage = kContactDamage;
    velocity = Vector3{vx, vy, vz};
    acceleration.y = kGravity;
    bOrientAlongVelocity = 1;
    // Turned along its path from the start, not only after the first step.
    heading = std::atan2(vy, vx);
    rotation.z = heading;
    position = Vector3{x, y, z};
    pSkin = GameFx::projectileSkin(kSkin);
    collisionSensitivity = GameFx::touchSensitivity(0.75f);
    updateXform();
}

void CannonShell::onWaterContact() { GameFx::splashIntoWater(*this); }

void CannonShell::destroy(GameEntity*) {
    pendingDelete = 1;
    GameFx::addToList(GameController::kEffectList,
                      new SpriteEffect(position.x, position.y, position.z, GameFx::detailPieces(4), 40.0f, 50.0f,
                                       heading, kPi, 1.5f));
}
