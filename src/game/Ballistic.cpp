#include "game/Ballistic.h"

#include <cmath>
#include <numbers>

#include "engine/ClassInfo.h"
#include "engine/Qor.h"
#include "engine/Random.h"
#include "game/EnemyFx.h"
#include "game/GameFx.h"
#include "game/Palm.h"
#include "render/Camera.h"
#include "render/Context.h"

QOR_DEFINE_CLASS(Ballistic, Enemy, nullptr)

namespace {
constexpr float kPi = std::numbers::pi_v<float>;
}  // namespace

Ballistic::Ballistic()
    : smokeInterval(GameFx::detailLevel() > 0 ? 0.015 : 0.045), flameInterval(Random::fraction() * 0.25 + 0.025) {
    scoreValue = kScoreValue;
    health = maxHealth = kHealth;
    hitsPalms = 1;
    collisionSensitivity = 0.5f;
    texture = EnemyFx::texture(u"ballistic");
    pSkin = EnemyFx::skin(*texture, 0);
    flame.pSkin = EnemyFx::skin(*texture, 1);
    acceleration.y = kGravity;
    bOrientAlongVelocity = 1;
    // It ends only by leaving the view sideways (or by a hit or the water).
    bRemoveOffscreen = 0;
}

ClassInfo* Ballistic::getClass() const { return &classInfo; }

void Ballistic::enter() {
    position = enemyEntryPoint(*this, tint == 0 ? kEntrySide : kEntryAround);
    Palm* palm = pickTarget();
    target.set(palm);
    const Vector3 centre = palm ? palm->boundsCentre : position;
    if (palm && std::fabs(position.x - centre.x) < kLeastOffset) position.x = centre.x + kLeastOffset;
    const float away = position.x <= sceneCameraX() ? -1.0f : 1.0f;
    velocity.x = kBaseSpeed * (1.0f + Random::fraction() * level) * -away;
    if (palm) aimAt(centre);
    updateXform();
    flame.setup(nullptr, &position, &rotation);
    GameFx::playAt(u"ballisticEntry", position);
}

// The vertical speed that brings the missile, under its gravity, onto the palm's middle
// when it reaches the palm's x.
void Ballistic::aimAt(const Vector3& palmCentre) {
    float t = (palmCentre.x - position.x) / velocity.x;
    // A palm behind the start would need a flight back in time: start as far beyond it.
    if (t <= 0.0f) {
        position.x = 2.0f * palmCentre.x - position.x;
        t = (palmCentre.x - position.x) / velocity.x;
    }
    velocity.y = ((palmCentre.y - position.y) - kGravity * 0.5f * t * t) / t;
}

void Ballistic::update(double, double dt) {
    integrate(dt);
    smokeTimer += dt;
    if (smokeTimer >= smokeInterval) {
        smokeTimer = 0.0;
        if (GameFx::detailLevel() > 0)
            EnemyFx::smokeBehind(position, 2, 50.0f, 75.0f, heading + kPi, kPi / 4, 1.0f, 0xFFFFFFFFu);
    }
    flameTimer += dt;
    if (flameTimer >= flameInterval) {
        flameTimer = 0.0;
        flameFrame = (flameFrame + 1) % kFlameFrames;
        flame.pSkin = EnemyFx::skin(*texture, 1 + flameFrame);
    }
    if (!bVisible && leftViewSideways()) pendingDelete = 1;
    flame.setup(nullptr, &position, &rotation);
}

bool Ballistic::leftViewSideways() const {
    const Context* context = qor->pCurrentContext;
    if (!context || !context->pCamera) return false;
    const ViewRect view = context->pCamera->getViewRect(0.0f);
    return (position.x < view.left && velocity.x < 0.0f) || (position.x > view.right && velocity.x > 0.0f);
}

void Ballistic::render() {
    Enemy::render();
    flame.render();
}

void Ballistic::destroy(GameEntity*) { EnemyFx::explodeMissile(*this); }

void Ballistic::onWaterContact() { EnemyFx::splashSmall(*this); }
