#include "game/Bomber.h"

#include <numbers>

#include "engine/ClassInfo.h"
#include "engine/MathHelpers.h"
#include "engine/Random.h"
#include "engine/VirtualScreen.h"
#include "game/BomberBomb.h"
#include "game/EnemyFx.h"
#include "game/GameController.h"
#include "game/GameFx.h"
#include "inputaudio/QorAudio.h"
#include "inputaudio/SoundChannel.h"
#include "platform/AudioSystem.h"

QOR_DEFINE_CLASS(Bomber, Enemy, nullptr)

namespace {
constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kBaseSpeed = 64.0f;  // units per second; + the same again x level
}  // namespace

Bomber::Bomber()
    : smokeInterval(GameFx::detailLevel() > 0 ? 0.015 : 0.045),
      engineSound(new SoundChannel(GameFx::findSound(u"bomberEngine"))) {
    scoreValue = kScoreValue;
    health = maxHealth = kHealth;
    collisionSensitivity = 0.5f;
    texture = EnemyFx::texture(u"bomber");
    pSkin = EnemyFx::skin(*texture, 0);
    propeller.pSkin = EnemyFx::skin(*texture, 1);
}

Bomber::~Bomber() {
    // The loop would play on without its bomber.
    QorAudio::library().channelStop(engineSound->channel);
    engineSound->destroy();
}

ClassInfo* Bomber::getClass() const { return &classInfo; }

void Bomber::enter() {
    position = enemyEntryPoint(*this, kEntrySide);
    const bool toRight = position.x <= sceneCameraX();
    cruiseSpeed = (kBaseSpeed + kBaseSpeed * level) * (toRight ? 1.0f : -1.0f);
    velocity.x = cruiseSpeed;
    // Flying left it shows its other side; its heading points the way it flies.
    heading = toRight ? 0.0f : kPi;
    rotation = Vector3{0.0f, toRight ? 0.0f : kPi, 0.0f};
    updateXform();
    propeller.setup(nullptr, &position, &rotation);
}

void Bomber::update(double, double dt) {
    integrate(dt);
    spinPropeller(dt);
    dropBomb(dt);
    trailSmoke(dt);
    drone();
}

void Bomber::spinPropeller(double dt) {
    propellerTimer += dt;
    if (propellerTimer >= propellerInterval) {
        propellerTimer = 0.0;
        propellerFrame ^= 1;
        propeller.pSkin = EnemyFx::skin(*texture, 1 + propellerFrame);
    }
    propeller.setup(nullptr, &position, &rotation);
}

void Bomber::dropBomb(double dt) {
    dropTimer += dt;
    if (dropTimer < dropInterval) return;
    dropTimer = 0.0;
    dropInterval = 0.5 + Random::fraction();
    GameFx::addToList(GameController::kEnemyBombList, new BomberBomb(position, Vector3{0.0f, 0.0f, 0.0f}, rotation));
    GameFx::playAt(u"bomberDropBomb", position);
}

void Bomber::trailSmoke(double dt) {
    smokeTimer += dt;
    if (smokeTimer < smokeInterval) return;
    smokeTimer = 0.0;
    if (health >= maxHealth) return;
    const Vector3 tail = xform.transformCoord(Vector3{kTailX, 0.0f, 0.0f});
    // Grey to black as the bomber weakens.
    EnemyFx::smokeBehind(tail, 1, 25.0f, 60.0f, heading + kPi, kPi / 2, 1.5f,
                         lerpColor(0xFF000000u, 0xFFFFFFFFu, health / maxHealth));
}

void Bomber::drone() {
    const float halfWidth = static_cast<float>(kVirtualScreenWidth) / 2.0f;
    engineSound->setPan(remapClamped(-1.0f, 1.0f, -halfWidth, halfWidth, position.x), 0.0);
    if (QorAudio::library().channelIsActive(engineSound->channel) != AudioActive::kPlaying) engineSound->play();
}

void Bomber::render() {
    Enemy::render();
    propeller.render();
}

void Bomber::onHit(GameEntity*, float) {
    const float f = 1.0f - 0.5f * (maxHealth - health) / maxHealth;
    velocity.x = f * cruiseSpeed;
    engineSound->setFrequency(f, 0.0);
}

void Bomber::destroy(GameEntity*) { EnemyFx::explodeBomber(*this); }
