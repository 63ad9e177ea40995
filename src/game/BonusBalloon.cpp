#include "game/BonusBalloon.h"

#include <cmath>
#include <numbers>

#include "engine/Qor.h"
#include "engine/Random.h"
#include "engine/ResourceManager.h"
#include "game/FlareBurst.h"
#include "game/GameController.h"
#include "game/GameFx.h"
#include "game/HudOverlay.h"
#include "game/WeaponButton.h"
#include "render/Skin.h"

namespace {
constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;
constexpr int kPuffSparks = 10;
constexpr float kPuffSpeedMin = 25.0f;
constexpr float kPuffSpeedMax = 50.0f;
constexpr float kPuffSize = 2.0f;
constexpr float kPuffRise = 0.25f;  // of the skin's height, above the position
}  // namespace

BonusBalloon::BonusBalloon(float x, float y, float z, double lifetime_)
    : GameEntity(-1), basePosition{x, y, z}, lifetime(lifetime_) {
    phase = static_cast<float>(Random::next()) / 65536.0f * kTwoPi;
    collisionSensitivity = kCollisionSensitivity;
    scoreValue = kScoreValue;
    pSkin = static_cast<Skin*>(qor->resources().find(true, u"balloons:0"));
    position = basePosition;
    updateXform();
}

void BonusBalloon::update(double time, double dt) {
    const auto t = static_cast<float>(time);
    position = Vector3{basePosition.x, basePosition.y + kBobHeight * std::sin(phase + t), basePosition.z};
    const float k = 1.0f + kBreath * std::sin(kBreathRate * t + phase);
    scale = Vector3{k, 1.0f / k, 1.0f};
    updateXform();
    if (lifetime > 0.0) {
        lifetime -= dt;
        if (lifetime <= 0.0) pendingDelete = 1;
    }
    if (bSpawnPuff) {
        if (GameFx::detailLevel() >= 1) puff();
        bSpawnPuff = 0;
    }
}

void BonusBalloon::puff() {
    const float rise = pSkin ? pSkin->height * kPuffRise : 0.0f;
    GameFx::addToList(GameController::kEffectList,
                      new FlareBurst(position.x, position.y + rise, position.z, kPuffSparks, kPuffSpeedMin,
                                     kPuffSpeedMax, 0.0f, kTwoPi, kPuffSize, 0xFFFFFFFFu));
}

// Only a side of the game may collect the bonus: the side indexes the players' data and
// HUDs, and a stray hit (a source of no side) must not hand a bonus to anyone.
void BonusBalloon::pop(GameEntity* source) {
    if (pendingDelete) return;
    pendingDelete = 1;
    if (GameFx::detailLevel() >= 1) puff();
    const std::int32_t side = source ? source->side : -1;
    if (side < 0 || side >= GameController::kSides) return;
    applyBonus(side);
    GameController* game = GameFx::currentGame();
    if (bonusText.empty() || !game) return;
    const std::int32_t noticeSide = bSabotage ? 1 - side : side;
    if (HudOverlay* hud = game->pHud[noticeSide])
        hud->addChild(new WeaponButton(noticeSide, 0, bSabotage != 0, bonusText));
}

void BonusBalloon::applyBonus(std::int32_t) {}
