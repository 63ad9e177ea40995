#include "game/EnemyBiplane.h"

#include <cmath>
#include <numbers>

#include "engine/ClassInfo.h"
#include "engine/Random.h"
#include "game/BiplaneModel.h"
#include "game/Bomb.h"
#include "game/EnemyFx.h"
#include "game/GameController.h"
#include "game/GameFx.h"
#include "game/Palm.h"
#include "game/makeBomb.h"
#include "render/Camera.h"
#include "ui/ContextBlender.h"
#include "ui/Global.h"

QOR_DEFINE_CLASS(EnemyBiplane, Enemy, nullptr)

namespace {
constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kMinSpeed = 50.0f;  // units per second
constexpr float kTopSpeed = 85.0f;  // at level 0; + kTopSpeedGain x level
constexpr float kTopSpeedGain = 65.0f;
constexpr float kBombChance = 0.1f;  // at level 0; + kBombChanceGain x level
constexpr float kBombChanceGain = 0.65f;
}  // namespace

EnemyBiplane::EnemyBiplane() {
    model = new BiplaneModel();
    model->shadow = 0;
    pSkin = model;
    bOwnsSkin = 1;
    color = kStartColour;
    scoreValue = kScoreValue;
    health = maxHealth = kHealth;
    collisionSensitivity = 0.75f;
}

ClassInfo* EnemyBiplane::getClass() const { return &classInfo; }

void EnemyBiplane::enter() {
    position = enemyEntryPoint(*this, kEntrySide);
    color = tint != 0 ? tint : randomBrightColour();
    heading = position.x <= sceneCameraX() ? 0.0f : kPi;
    const float speed = kMinSpeed + Random::fraction() * (kTopSpeed + kTopSpeedGain * level - kMinSpeed);
    velocity = Vector3{speed * std::cos(heading), speed * std::sin(heading), 0.0f};
    if (Random::fraction() < kBombChance + kBombChanceGain * level) aimBomb();
    updateXform();
    GameFx::playAt(u"biplaneEntry", position);
}

void EnemyBiplane::aimBomb() {
    Palm* palm = pickTarget();
    target.set(palm);
    if (!palm) return;
    const float drop = position.y - palm->boundsCentre.y;
    // Below the palm's middle a falling bomb can never reach it: fly on unarmed.
    if (drop < 0.0f) return;
    const float t = std::sqrt(2.0f * drop / kBombGravity);
    dropX = palm->position.x - velocity.x * t;
    hasBomb = 1;
}

void EnemyBiplane::update(double, double dt) {
    integrate(dt);
    if (hasBomb && passedDropPoint()) dropBomb();
}

bool EnemyBiplane::passedDropPoint() const { return velocity.x >= 0.0f ? position.x > dropX : position.x < dropX; }

void EnemyBiplane::dropBomb() {
    GameFx::addToList(GameController::kEnemyBombList,
                      makeBomb(side, position.x, position.y, position.z, velocity.x, velocity.y, velocity.z));
    GameFx::playAt(u"bombWhistleShort", position);
    hasBomb = 0;
}

void EnemyBiplane::render() {
    model->heading = heading;
    Enemy::render();
}

void EnemyBiplane::destroy(GameEntity*) { EnemyFx::explodePlane(*this); }
