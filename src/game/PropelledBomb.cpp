#include "game/PropelledBomb.h"

#include <cmath>
#include <numbers>

#include "engine/ClassInfo.h"
#include "engine/MathHelpers.h"
#include "engine/Random.h"
#include "game/EnemyFx.h"
#include "game/GameController.h"
#include "game/GameFx.h"
#include "game/Palm.h"
#include "game/SpriteEffect.h"

QOR_DEFINE_CLASS(PropelledBomb, Enemy, nullptr)

namespace {
constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kBaseSpeed = 32.0f;         // units per second; + the same again x level
constexpr float kSpreadAngle = 1.1780972f;  // radians of error per unit of the scaled distance
constexpr float kSureDistance = 128.0f;     // no error at this distance
constexpr float kSpreadDistance = 384.0f;   // the distance over which the error grows by kSpreadAngle
constexpr float kSpinRange = 8 * kPi;       // rad/s at the most
}  // namespace

PropelledBomb::PropelledBomb() : bodyFrame(kFirstBodyFrame + static_cast<int>(Random::next() % 15)) {
    scoreValue = kScoreValue;
    health = maxHealth = kHealth;
    hitsPalms = 1;
    collisionSensitivity = 0.75f;
    texture = EnemyFx::texture(u"propelledBomb");
    rotation.z = Random::fraction() - 0.5f;
    flame.rotation.z = rotation.z;
    showFrames();
    setState(kFlying);
    updateXform();
}

ClassInfo* PropelledBomb::getClass() const { return &classInfo; }

void PropelledBomb::enter() {
    if (tint != kPlacedByDropper) position = enemyEntryPoint(*this, tint == 0 ? kEntryAround : kEntrySide);
    speed = kBaseSpeed + kBaseSpeed * level;
    target.set(pickTarget());
    updateXform();
    GameFx::playAt(u"propelledBombEntry", position);
}

void PropelledBomb::update(double time, double dt) {
    tickState(time, dt);
    integrate(dt);
    if (state == kFalling) {
        rotation.z += spinRate * static_cast<float>(dt);
        updateXform();
    } else {
        animationTimer += dt;
        if (animationTimer >= frameInterval) {
            animationTimer = 0.0;
            animate();
        }
        steerTimer += dt;
        if (steerTimer >= steerInterval) {
            steerTimer = 0.0;
            steer();
        }
    }
    flame.setPosition(position.x, position.y, position.z);
}

void PropelledBomb::animate() {
    flameFrame = (flameFrame + 1) % kFlameFrames;
    bodyFrame += bodyFrameStep;
    if (bodyFrame <= kFirstBodyFrame) bodyFrameStep = 1;
    if (bodyFrame >= kLastBodyFrame) bodyFrameStep = -1;
    showFrames();
}

void PropelledBomb::showFrames() {
    pSkin = EnemyFx::skin(*texture, bodyFrame);
    flame.pSkin = EnemyFx::skin(*texture, flameFrame);
}

void PropelledBomb::steer() {
    const auto* palm = dynamic_cast<const Renderable*>(target.get());
    if (!palm) return;
    const Vector3 d = palm->boundsCentre - position;
    const float spread = level * kSpreadAngle * (vectorLength(d) - kSureDistance) / kSpreadDistance;
    heading = std::atan2(d.y, d.x) + spread * (2.0f * Random::fraction() - 1.0f);
    velocity = Vector3{speed * std::cos(heading), speed * std::sin(heading), 0.0f};
    // Never steer into the sea: the next second's climb stays above the water line.
    if (position.y + velocity.y < kWaterLine) velocity.y = std::fabs(velocity.y);
    rotation.z = 1.0f - (velocity.x + 64.0f) / 128.0f * 2.0f;
    flame.rotation.z = rotation.z;
    updateXform();
}

void PropelledBomb::render() {
    Enemy::render();
    if (state == kFlying) flame.render();
}

void PropelledBomb::onHit(GameEntity* source, float) {
    if (!source) return;
    velocity = velocity + source->velocity * 0.25f;
    spinRate = remapClamped(-kSpinRange, kSpinRange, -1.0f, 1.0f, std::cos(source->heading));
}

void PropelledBomb::destroy(GameEntity*) {
    GameFx::addToList(
        GameController::kEffectList,
        new SpriteEffect(position.x, position.y, position.z, GameFx::detailPieces(4), 0.0f, 50.0f, heading, kPi, 1.5f));
    GameFx::playAt(u"explosionShort", position, 0.0f, 0.5f);
    acceleration.y = kFallGravity;
    hitsPalms = 0;
    setState(kFalling);
}

void PropelledBomb::onWaterContact() { EnemyFx::splashSmall(*this); }
