#include "game/Kamikaze.h"

#include <cmath>
#include <numbers>

#include "engine/ClassInfo.h"
#include "engine/Random.h"
#include "game/EnemyFx.h"
#include "game/GameController.h"
#include "game/GameFx.h"
#include "game/PlayerData.h"

QOR_DEFINE_CLASS(Kamikaze, Enemy, nullptr)

namespace {
constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kBaseSpeed = 32.0f;  // units per second; up to twice that at level 1

}  // namespace

Kamikaze::Kamikaze() {
    scoreValue = kScoreValue;
    health = maxHealth = kHealth;
    hitsPalms = 1;
    collisionSensitivity = 0.75f;
    texture = EnemyFx::texture(u"kamikaze");
    pSkin = EnemyFx::skin(*texture, 0);
    propeller.pSkin = EnemyFx::skin(*texture, 1);
    acceleration.y = kGravity;
}

ClassInfo* Kamikaze::getClass() const { return &classInfo; }

void Kamikaze::enter() {
    position = enemyEntryPoint(*this, kEntryTop);
    const Vector3 island = defendingIsland();
    const float toIsland = std::atan2(island.y - position.y, island.x - position.x);
    // Twice the island's deviation from straight down: a steep dive that overshoots.
    const float dive = 2 * toIsland - 3 * kPi / 2;
    const float speed = kBaseSpeed * (1.0f + Random::fraction() * level);
    velocity = Vector3{speed * std::cos(dive), speed * std::sin(dive), 0.0f};
    heading = dive;
    rotation.z = dive;
    updateXform();
    propeller.setup(nullptr, &position, &rotation);
    GameFx::playAt(u"kamikazeEntry", position);
}

void Kamikaze::update(double, double dt) {
    integrate(dt);
    frameTimer += dt;
    if (frameTimer >= frameInterval) {
        frameTimer = 0.0;
        propellerFrame ^= 1;
        propeller.pSkin = EnemyFx::skin(*texture, 1 + propellerFrame);
    }
    propeller.setup(nullptr, &position, &rotation);
}

void Kamikaze::render() {
    Enemy::render();
    propeller.render();
}

void Kamikaze::destroy(GameEntity*) { EnemyFx::explodeKamikaze(*this); }

void Kamikaze::onWaterContact() { EnemyFx::splashLarge(*this); }
