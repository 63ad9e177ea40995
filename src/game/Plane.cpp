#include "game/Plane.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/MathHelpers.h"
#include "engine/VirtualScreen.h"
#include "game/BiplaneModel.h"
#include "game/FlareBurst.h"
#include "game/FollowCamera.h"
#include "game/GameController.h"
#include "game/GameFx.h"
#include "game/PlayerData.h"
#include "game/Splash.h"
#include "game/SpriteEffect.h"
#include "game/Weapon.h"
#include "inputaudio/QorAudio.h"
#include "inputaudio/SoundChannel.h"
#include "platform/AudioSystem.h"
#include "ui/BlenderCamera.h"
#include "ui/ContextBlender.h"
#include "ui/PointCamera.h"

namespace {
constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kTwoPi = 2.0f * kPi;
constexpr double kSmokeIntervalHigh = 0.015;  // s, at detail 1
constexpr double kSmokeIntervalLow = 0.045;   // s, at detail 0
constexpr double kSmokeDarkening = 3.0;       // s over which the smoke of a falling plane turns black
constexpr float kCrashCameraZ = -320.0f;
constexpr double kHitShake = 0.005;   // radians of roll
constexpr double kCrashShake = 0.01;  // radians of roll

// Appends a key point to the scene's blending camera, which then glides toward it; a
// key point without a game is deleted at once.
void addCameraKey(PointCamera* key) {
    GameController* game = GameFx::currentGame();
    if (game && game->pScene)
        game->pScene->camera()->addChild(key);
    else
        key->destroy();
}

float wrapHeading(float h) {
    const float r = std::fmod(h, kTwoPi);
    return r < 0.0f ? r + kTwoPi : r;
}
}  // namespace

Plane::Plane(std::int32_t side_) : Vehicle(side_) {
    model = new BiplaneModel();
    pSkin = model;
    bOwnsSkin = 1;
    if (const PlayerData* own = ownPlayer()) color = own->colour;
    collisionSensitivity = 0.75f;
    heading = static_cast<float>(side) * kPi;
    turnRate = kPi;
    minPower = kMinSpeed;
    maxPower = kMaxSpeed;
    nominalPower = kMaxSpeed;
    powerRate = kAcceleration;
    scoreValue = kScoreValue;
    smokeInterval = GameFx::detailLevel() != 0 ? kSmokeIntervalHigh : kSmokeIntervalLow;
    engineSound = new SoundChannel(GameFx::findSound(u"engine"));
    setState(kFlying);
}

Plane::~Plane() { stopEngineSound(); }

void Plane::stopEngineSound() {
    if (!engineSound) return;
    QorAudio::library().channelStop(engineSound->channel);
    engineSound->destroy();
    engineSound = nullptr;
}

void Plane::replaceEngineSound(const char16_t* name) {
    stopEngineSound();
    engineSound = new SoundChannel(GameFx::findSound(name));
}

void Plane::setP35Look() {
    model->setTextures(u"p35", u"p35-markings");
    maxPower = kP35MaxSpeed;
    turnRate = 1.5f * kPi;
}

bool Plane::isOperational() { return state != kDown; }

// The order matters: the plan sees last frame's motion, the shot leaves from where the
// plane was, and the water test sees where it went.
void Plane::update(double time, double dt) {
    if (!isOperational()) return;
    tickState(time, dt);
    Vehicle::tick(time, dt);
    clearControls();
    control();
    const auto step = static_cast<float>(dt);
    if (state == kFlying) {
        fly(step);
        emitExhaust(dt);
    } else if (state == kFalling) {
        fall(dt);
    }
    heading = wrapHeading(heading);
    fireWeapon(time, dt);
    move(step);
    updateEngineSound();
}

void Plane::fly(float dt) {
    if (bRaise) power += powerRate * dt;
    if (bLower) power -= powerRate * dt;
    power = std::clamp(power, minPower, maxPower);
    turn(dt);
    velocity.x = power * std::cos(heading);
    velocity.y = power * std::sin(heading);
}

// With the pointer a turn stops on the pointer's direction instead of swinging past it.
// Only a person steers by the pointer: a computer side's flag says nothing about it.
void Plane::turn(float dt) {
    float step = turnRate * dt;
    const PlayerData* own = ownPlayer();
    if (own && own->bHuman && usesPointer()) step = std::min(step, std::fabs(wrapAngle(heading, aimAngle)));
    if (bTurnLeft) heading += step;
    if (bTurnRight) heading -= step;
}

// Two puffs from behind the wings; the mutator's plane runs clean.
void Plane::emitExhaust(double dt) {
    const GameController* game = GameFx::currentGame();
    if ((game && game->bPX35) || GameFx::detailLevel() < 1) return;
    smokeTimer += dt;
    if (smokeTimer < smokeInterval) return;
    smokeTimer = 0.0;
    const float c = std::cos(heading), s = std::sin(heading);
    for (const float oy : {-7.0f, 7.0f}) {
        const float rx = -15.0f * c - oy * s;
        const float ry = (-15.0f * s + oy * c) * 0.125f - 16.0f;
        GameFx::addToList(GameController::kEffectList,
                          new FlareBurst(position.x + rx, position.y + ry, position.z, 1, 25.0f, 50.0f, heading + kPi,
                                         kPi, 0.5f, 0xFFFFFFFFu));
    }
}

// Falling keeps the velocity of the moment of the hit, bent by gravity, and spins.
void Plane::fall(double dt) {
    heading -= turnRate * static_cast<float>(dt);
    smokeTimer += dt;
    if (smokeTimer < smokeInterval) return;
    smokeTimer = 0.0;
    const auto t = static_cast<float>(std::min(timeInState, kSmokeDarkening) / kSmokeDarkening);
    GameFx::addToList(GameController::kSmokeList,
                      SpriteEffect::createSmoke(position.x, position.y, position.z, 2, 25.0f, 100.0f, kPi / 2.0f,
                                                kPi / 2.0f, 1.0f, lerpColor(0xFFFFFFFFu, 0xFF000000u, t)),
                      true);
    if (GameFx::detailLevel() >= 1)
        GameFx::addToList(GameController::kSmokeList, new SpriteEffect(position.x, position.y, position.z, 2, 15.0f,
                                                                       50.0f, kPi / 2.0f, kPi / 2.0f, 1.0f));
}

void Plane::fireWeapon(double time, double dt) {
    if (!weapon || !weapon->canFire(time, dt)) return;
    weapon->fire(position.x, position.y, position.z, heading, projectileSpeedFactor * power);
}

void Plane::move(float dt) {
    velocity = velocity + acceleration * dt;
    position = position + velocity * dt;
    if (position.y < kWaterLine) hitWater();
    updateXform();
}

void Plane::hitWater() {
    GameFx::addToList(GameController::kEffectList,
                      new Splash(position.x, position.y, position.z, 25, 0.0f, 300.0f, kPi / 2.0f, kPi / 2.0f, 2.0f));
    GameFx::playAt(u"largeSplash", position);
    addCameraKey(new PointCamera(position.x, position.y, kCrashCameraZ));
    GameFx::shakeCamera(kCrashShake);
    if (state == kFlying)
        if (PlayerData* own = ownPlayer()) own->addMaskedScore(-kWaterPenalty);
    setState(kDown);
    position.y = kWaterLine;
}

void Plane::updateEngineSound() {
    if (!engineSound) return;
    const float halfWidth = static_cast<float>(kVirtualScreenWidth) / 2.0f;
    engineSound->setPan(remapClamped(-1.0f, 1.0f, -halfWidth, halfWidth, position.x), 0.0);
    const float f = nominalPower == minPower ? 1.0f : 1.0f + 0.5f * (power - minPower) / (nominalPower - minPower);
    engineSound->setFrequency(f, 0.0);
    if (QorAudio::library().channelIsActive(engineSound->channel) != AudioActive::kPlaying) engineSound->play();
}

void Plane::destroy(GameEntity*) {
    if (state == kFlying && stateGoto != kFalling) setState(kFalling);
}

void Plane::onHit(GameEntity*, float) {
    GameFx::shakeCamera(kHitShake);
    GameFx::playAt(u"planeHit", position);
}

void Plane::onStateChanged() {
    if (state == kFalling) {
        startFalling();
    } else if (state == kDown) {
        if (GameController* game = GameFx::currentGame()) game->onVehicleDestroyed(side);
        stopEngineSound();
    }
}

// The view follows the falling plane, which now drops and whines.
void Plane::startFalling() {
    addCameraKey(new FollowCamera(side));
    acceleration = Vector3{0.0f, -kFallGravity, 0.0f};
    replaceEngineSound(u"engineSpinning");
}

void Plane::render() {
    if (!isOperational()) return;
    model->heading = heading;
    Vehicle::render();
}

void Plane::drawIcon(float x, float y, float z) {
    Renderable icon;
    icon.pSkin = model;
    icon.position = Vector3{x, y, z};
    icon.scale = Vector3{0.5f, 0.5f, 1.0f};
    icon.color = kIconColour;
    icon.updateXform();
    model->heading = heading;
    model->plain = 1;
    icon.render();
    model->plain = 0;
}
