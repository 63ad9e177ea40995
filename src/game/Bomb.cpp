#include "game/Bomb.h"

#include <cmath>
#include <numbers>

#include "game/GameController.h"
#include "game/GameFx.h"
#include "game/Splash.h"
#include "game/SpriteEffect.h"

namespace {
constexpr float kPi = std::numbers::pi_v<float>;
}  // namespace

Bomb::Bomb(std::int32_t side_, float x, float y, float z, float vx, float vy, float vz) : GameEntity(side_) {
    velocity = Vector3{vx, vy, vz};
    acceleration = Vector3{0.0f, kGravity, 0.0f};
    bOrientAlongVelocity = 1;
    pSkin = GameFx::projectileSkin(kSkin);
    position = Vector3{x, y, z};
    updateXform();
    collisionSensitivity = kCollisionSensitivity;
}

void Bomb::update(double, double dt) {
    integrate(dt);
    age += dt;
    const GameController* game = GameFx::currentGame();
    // A bomb that has already ended this frame (in the water) does not also fizzle.
    if (!game || !game->bLimitBombRange || age <= kRangeTime || pendingDelete) return;
    GameFx::addToList(GameController::kEffectList,
                      SpriteEffect::createSmoke(position.x, position.y, position.z, 1, 15.0f, 20.0f, heading, 0.0f,
                                                1.0f, 0xFFFFFFFFu));
    pendingDelete = 1;
}

void Bomb::onWaterContact() {
    const GameController* game = GameFx::currentGame();
    if (game && game->bBouncyBombs) {
        if (velocity.y < 0.0f) velocity.y = std::fabs(velocity.y) * kBounceDamping;
        if (velocity.y < kLeastBounceSpeed) pendingDelete = 1;
    } else {
        pendingDelete = 1;
    }
    if (GameFx::detailLevel() >= 1)
        GameFx::addToList(GameController::kEffectList, new Splash(position.x, position.y, position.z, 20, 0.0f, 200.0f,
                                                                  kPi / 2.0f, kPi / 2.0f, 1.0f));
    GameFx::playAt(u"smallSplash", position);
}

void Bomb::destroy(GameEntity*) { GameFx::explodeAsBomb(*this); }
