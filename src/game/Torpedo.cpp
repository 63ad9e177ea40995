#include "game/Torpedo.h"

#include <numbers>

#include "engine/ClassInfo.h"
#include "engine/Random.h"
#include "game/EnemyFx.h"
#include "game/GameController.h"
#include "game/GameFx.h"
#include "game/Palm.h"
#include "game/Splash.h"

QOR_DEFINE_CLASS(Torpedo, Enemy, nullptr)

namespace {
constexpr float kPi = std::numbers::pi_v<float>;
}  // namespace

Torpedo::Torpedo(bool heavy) {
    scoreValue = kScoreValue;
    health = maxHealth = heavy ? kHeavyHealth : kHealth;
    collisionSensitivity = 0.5f;
    pSkin = EnemyFx::skin(u"torpedo", heavy ? 1 : 0);
    acceleration.y = kGravity;
    bOrientAlongVelocity = 1;
}

ClassInfo* Torpedo::getClass() const { return &classInfo; }

void Torpedo::enter() {
    position = enemyEntryPoint(*this, kEntryWaterLine);
    Palm* palm = pickTarget();
    target.set(palm);
    velocity.y = (0.5f + 0.5f * Random::fraction()) * kLeapSpeed;
    velocity.x = 0.0f;
    if (palm) {
        const float t = flightTimeTo(palm->boundsCentre.y);
        if (t > 0.0f) velocity.x = (palm->boundsCentre.x - position.x) / t;
    }
    updateXform();
}

float Torpedo::flightTimeTo(float h) const {
    const float t = timeToHeight(h);
    if (t > 0.0f) return t;
    // Out of reach: the top of the arc is the nearest the torpedo comes.
    return acceleration.y < 0.0f ? -velocity.y / acceleration.y : 0.0f;
}

void Torpedo::update(double, double dt) {
    integrate(dt);
    hitsPalms = velocity.y < 0.0f ? 1 : 0;
    if (!justLaunched) return;
    justLaunched = 0;
    if (GameFx::detailLevel() > 0)
        GameFx::addToList(GameController::kEffectList,
                          new Splash(position.x, position.y, position.z, 20, 0.0f, 200.0f, heading, kPi / 2, 1.0f));
    GameFx::playAt(u"waterExit", position);
}

void Torpedo::destroy(GameEntity*) { EnemyFx::explodeBomb(*this); }

void Torpedo::onWaterContact() { EnemyFx::splashSmall(*this); }
