#include "game/BomberBomb.h"

#include <cmath>
#include <numbers>

#include "engine/Random.h"
#include "game/GameFx.h"

BomberBomb::BomberBomb(const Vector3& position_, const Vector3& velocity_, const Vector3& rotation_)
    : GameEntity(-1), spinPhase(Random::fraction() * 2.0f * std::numbers::pi_v<float>) {
    velocity = velocity_;
    acceleration.y = kGravity;
    position = position_;
    rotation = rotation_;
    pSkin = GameFx::projectileSkin(kSkin);
    collisionSensitivity = 0.75f;
    updateXform();
}

void BomberBomb::tick(double time, double dt) {
    integrate(dt);
    rotation.z = kSwing * std::sin(spinPhase + kSwingRate * static_cast<float>(time));
    updateXform();
}

void BomberBomb::onWaterContact() { GameFx::splashIntoWater(*this); }

void BomberBomb::destroy(GameEntity*) { GameFx::explodeAsBomb(*this); }
