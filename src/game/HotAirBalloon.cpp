#include "game/HotAirBalloon.h"

#include <cmath>
#include <numbers>
#include <utility>

#include "engine/ClassInfo.h"
#include "engine/MathHelpers.h"
#include "engine/Qor.h"
#include "engine/Random.h"
#include "game/Bomb.h"
#include "game/EnemyFx.h"
#include "game/GameController.h"
#include "game/GameFx.h"
#include "game/Palm.h"
#include "game/PlayerData.h"
#include "game/SpriteEffect.h"
#include "render/Camera.h"
#include "ui/ContextBlender.h"
#include "ui/Global.h"

QOR_DEFINE_CLASS(HotAirBalloon, Enemy, nullptr)

namespace {
constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kBaseSpeed = 32.0f;           // units per second; + the same again x level
constexpr float kBreath = 0.03f;              // share of the envelope's width
constexpr float kBreathRate = 4.0f;           // radians per second
constexpr float kFastDrift = 48.0f;           // units per second at which the stripes turn fastest
const Vector3 kBombHang{1.0f, -50.0f, 0.0f};  // from the balloon

}  // namespace

HotAirBalloon::HotAirBalloon()
    : phase(Random::fraction() * 2 * kPi), frame(static_cast<int>(Random::next() % kTurnFrames)) {
    scoreValue = kScoreValue;
    collisionSensitivity = 0.7f;
    // Drifts inside the view until it is shot: the view's edges turn it back.
    bRemoveOffscreen = 0;
    texture = EnemyFx::texture(u"hotAirBalloon");
    overlay.color = randomBrightColour();
    lower.pSkin = EnemyFx::skin(*texture, kBasketSkin);
    upper.pSkin = EnemyFx::skin(*texture, kUpperSkin);
    placeParts();
}

HotAirBalloon::~HotAirBalloon() {
    if (bomb) bomb->destroy();
}

ClassInfo* HotAirBalloon::getClass() const { return &classInfo; }

void HotAirBalloon::enter() {
    position = enemyEntryPoint(*this, kEntryAround);
    speed = kBaseSpeed + kBaseSpeed * level;
    const Vector3 island = defendingIsland();
    heading = std::atan2(island.y - position.y, island.x - position.x) + Random::fraction() * kPi / 2 - kPi / 4;
    if (tint != 0) overlay.color = tint;
    velocity = Vector3{speed * std::cos(heading), speed * std::sin(heading), 0.0f};
    frameInterval = remapClamped(0.2f, 0.01f, 0.0f, kFastDrift, std::fabs(velocity.x));
    placeParts();
}

void HotAirBalloon::update(double time, double dt) {
    integrate(dt);
    const float s = 1.0f + kBreath * std::sin(phase + kBreathRate * static_cast<float>(time));
    scale = Vector3{s, 1.0f / s, 1.0f};
    if (bomb && overTarget()) drop();
    frameTimer += dt;
    if (frameTimer >= frameInterval) {
        frameTimer = 0.0;
        turn();
    }
    bounce();
    placeParts();
}

bool HotAirBalloon::overTarget() const {
    const auto* palm = dynamic_cast<const Renderable*>(target.get());
    return palm &&
           std::fabs(position.x - palm->boundsCentre.x) < palm->boundsRadius * 0.5f * palm->collisionSensitivity;
}

void HotAirBalloon::turn() {
    frame += velocity.x > 0.0f ? 1 : -1;
    if (frame >= 0 && frame < kTurnFrames) return;
    frame = frame < 0 ? kTurnFrames - 1 : 0;
    std::swap(color, overlay.color);
}

void HotAirBalloon::bounce() {
    const GameController* game = GameFx::currentGame();
    if (!game || !game->pScene) return;
    const ViewRect view = game->pScene->pCamera->getViewRect(0.0f);
    if (position.x < view.left) velocity.x = std::fabs(velocity.x);
    if (position.x > view.right) velocity.x = -std::fabs(velocity.x);
    if (position.y > view.top) velocity.y = -std::fabs(velocity.y);
    if (position.y < kFloor) velocity.y = std::fabs(velocity.y);
}

void HotAirBalloon::placeParts() {
    pSkin = EnemyFx::skin(*texture, frame);
    overlay.pSkin = EnemyFx::skin(*texture, kOverlaySkin + frame);
    const Vector3 roll{0.0f, 0.0f, rotation.z};
    const Vector3 one{1.0f, 1.0f, 1.0f};
    updateXform();
    overlay.setup(nullptr, &position, &roll, &scale);
    upper.setup(nullptr, &position, &roll, &scale);
    lower.setup(nullptr, &position, &roll, &one);
    if (bomb) bomb->setPosition(position.x + kBombHang.x, position.y + kBombHang.y, position.z);
}

void HotAirBalloon::render() {
    if (bomb) bomb->render();
    lower.render();
    Enemy::render();
    overlay.render();
    upper.render();
}

void HotAirBalloon::drop() {
    if (!bomb) return;
    Bomb* falling = std::exchange(bomb, nullptr);
    GameFx::addToList(GameController::kEnemyBombList, falling);
    GameFx::playAt(u"bombWhistleShort", position);
}

void HotAirBalloon::destroy(GameEntity*) {
    drop();
    GameFx::addToList(GameController::kEffectList,
                      SpriteEffect::createSmoke(position.x, position.y, position.z, 10, 0.0f, 30.0f, 0.0f, 2 * kPi,
                                                3.0f, 0xFFFFFFFFu));
    GameFx::playAt(u"deflate", position);
    pendingDelete = 1;
}
