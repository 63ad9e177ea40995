#include "game/AtomBomb.h"

#include <cmath>
#include <numbers>

#include "engine/ClassInfo.h"
#include "engine/Random.h"
#include "game/EnemyFx.h"
#include "game/GameController.h"
#include "game/GameFx.h"
#include "game/Palm.h"
#include "game/PlayerData.h"

QOR_DEFINE_CLASS(AtomBomb, Enemy, nullptr)

namespace {
constexpr float kPi = std::numbers::pi_v<float>;

}  // namespace

AtomBomb::AtomBomb() : smokeInterval(GameFx::detailLevel() > 0 ? 0.015 : 0.045) {
    scoreValue = kScoreValue;
    health = maxHealth = kHealth;
    hitsPalms = 1;
    collisionSensitivity = 0.5f;
    pSkin = EnemyFx::skin(u"atomBomb", 0);
}

ClassInfo* AtomBomb::getClass() const { return &classInfo; }

void AtomBomb::enter() {
    position = enemyEntryPoint(*this, tint == 0 ? kEntryAround : kEntrySide);
    const Vector3 island = defendingIsland();
    heading = std::atan2(island.y - position.y, island.x - position.x) + Random::fraction() * kPi / 2 - kPi / 4;
    updateXform();
}

void AtomBomb::update(double, double dt) {
    if (!target.get()) target.set(pickTarget());
    turnToTarget(static_cast<float>(dt));
    rotation.z = heading;
    velocity = Vector3{speed * std::cos(heading), speed * std::sin(heading), 0.0f};
    smoke(dt);
    integrate(dt);
}

void AtomBomb::turnToTarget(float dt) {
    const auto* palm = dynamic_cast<const Renderable*>(target.get());
    if (!palm) return;
    const float desired = std::atan2(palm->boundsCentre.y - position.y, palm->boundsCentre.x - position.x);
    const float turn = wrapAngle(heading, desired);
    const float step = turnRate * dt;
    if (std::fabs(turn) <= step)
        heading = desired;
    else
        heading += turn > 0.0f ? step : -step;
}

void AtomBomb::smoke(double dt) {
    smokeTimer += dt;
    if (smokeTimer < smokeInterval) return;
    smokeTimer = 0.0;
    if (GameFx::detailLevel() <= 0) return;
    const Vector3 at{position.x + kSmokeAhead * std::cos(heading), position.y + kSmokeAhead * std::sin(heading),
                     position.z};
    EnemyFx::smokeBehind(at, 1, 25.0f, 50.0f, heading + kPi, kPi / 4, 1.0f, kSmokeColour);
}

void AtomBomb::destroy(GameEntity*) { EnemyFx::explodeBomb(*this); }

void AtomBomb::onWaterContact() { EnemyFx::splashSmall(*this); }
