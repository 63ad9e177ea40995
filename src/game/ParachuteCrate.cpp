#include "game/ParachuteCrate.h"

#include <numbers>

#include "engine/ClassInfo.h"
#include "engine/Random.h"
#include "game/EnemyFx.h"
#include "game/GameController.h"
#include "game/GameFx.h"
#include "game/SpriteEffect.h"

QOR_DEFINE_CLASS(ParachuteCrate, Enemy, nullptr)

namespace {
constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kEmptyFallBase = 32.0f;  // units per second: an empty crate falls 32 to 64
}  // namespace

ParachuteCrate::ParachuteCrate(std::int32_t content_) : content(content_) {
    scoreValue = kScoreValue;
    countsForWaveEnd = 0;  // a bonus, not an attacker
    pSkin = EnemyFx::skin(u"crate", content);
    parachute.pSkin = EnemyFx::skin(u"parachute", 0);
    velocity = Vector3{0.0f, -kSinkSpeed, 0.0f};
    rotation.z = Random::fraction() * kPi / 8 - kPi / 16;
    setState(1);
    updateXform();
}

ClassInfo* ParachuteCrate::getClass() const { return &classInfo; }

void ParachuteCrate::enter() {
    position = enemyEntryPoint(*this, kEntryTop);
    if (content == 0) velocity.y = -(kEmptyFallBase + kEmptyFallBase * Random::fraction());
    updateXform();
    parachute.setPosition(position.x, position.y + kParachuteHeight, position.z);
}

void ParachuteCrate::update(double time, double dt) {
    tickState(time, dt);
    integrate(dt);
    if (timeInState > kLifetime && !bVisible) pendingDelete = 1;
    parachute.setPosition(position.x, position.y + kParachuteHeight, position.z);
}

void ParachuteCrate::render() {
    parachute.render();
    Enemy::render();
}

void ParachuteCrate::destroy(GameEntity* source) {
    const Vector3& p = position;
    GameFx::addToList(GameController::kEffectList,
                      new SpriteEffect(p.x, p.y, p.z, GameFx::detailPieces(4), 0.0f, 50.0f, heading, kPi, 1.5f));
    GameFx::playAt(u"crateBreak", p);
    GameController* game = GameFx::currentGame();
    if (content != 0 && source && game) game->switchWeapon(source->side, content);
    pendingDelete = 1;
}

void ParachuteCrate::onWaterContact() { EnemyFx::splashSmall(*this); }
