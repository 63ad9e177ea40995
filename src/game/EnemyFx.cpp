#include "game/EnemyFx.h"

#include <numbers>

#include "engine/ErrorManager.h"
#include "engine/Qor.h"
#include "engine/ResourceManager.h"
#include "game/GameController.h"
#include "game/GameEntity.h"
#include "game/GameFx.h"
#include "game/Splash.h"
#include "game/SpriteEffect.h"
#include "render/Texture.h"

namespace {
constexpr float kPi = std::numbers::pi_v<float>;

// An explosion of `pieces` at `at`, its sound, and the end of the enemy.
void explode(GameEntity& enemy, const Vector3& at, int pieces, float speedMin, float speedMax, float direction,
             float arc, float scale, float pitchLow, float pitchHigh) {
    GameFx::addToList(GameController::kEffectList,
                      new SpriteEffect(at.x, at.y, at.z, pieces, speedMin, speedMax, direction, arc, scale));
    GameFx::playAt(u"explosionShort", enemy.position, pitchLow, pitchHigh);
    enemy.pendingDelete = 1;
}
}  // namespace

namespace EnemyFx {

Texture* texture(const char16_t* name) { return static_cast<Texture*>(qor->resources().find(true, name)); }

Skin* skin(const char16_t* name, int index) { return skin(*texture(name), index); }

Skin* skin(Texture& t, int index) {
    QOR_ASSERT("EnemyFx::skin", index >= 0 && static_cast<std::size_t>(index) < t.skins.size());
    return t.skins[static_cast<std::size_t>(index)];
}

void explodePlane(GameEntity& enemy) {
    explode(enemy, enemy.position, 5, 0.0f, 40.0f, 0.0f, 2 * kPi, 2.0f, 0.0f, 0.5f);
}

void explodeBomb(GameEntity& enemy) {
    explode(enemy, enemy.position, GameFx::detailPieces(4), 0.0f, 50.0f, enemy.heading, kPi, 1.5f, 0.0f, 0.5f);
}

void explodeKamikaze(GameEntity& enemy) {
    explode(enemy, enemy.position, GameFx::detailPieces(4), 25.0f, 50.0f, enemy.heading, kPi, 1.5f, 0.0f, 0.5f);
}

void explodeBomber(GameEntity& enemy) {
    explode(enemy, enemy.position, GameFx::detailPieces(8), 25.0f, 60.0f, 0.0f, 2 * kPi, 3.0f, -0.5f, 0.0f);
}

void explodeMissile(GameEntity& enemy) {
    explode(enemy, enemy.boundsCentre, GameFx::detailPieces(8), 25.0f, 75.0f, enemy.heading, kPi, 2.0f, -0.5f, 0.0f);
}

void splashSmall(GameEntity& enemy) { GameFx::splashIntoWater(enemy); }

void splashLarge(GameEntity& enemy) {
    enemy.pendingDelete = 1;
    const Vector3& p = enemy.position;
    if (GameFx::detailLevel() >= 1)
        GameFx::addToList(GameController::kEffectList,
                          new Splash(p.x, p.y, p.z, 25, 0.0f, 300.0f, kPi / 2, kPi / 2, 2.0f));
    GameFx::playAt(u"largeSplash", p);
}

void smokeBehind(const Vector3& at, int count, float speedMin, float speedMax, float direction, float arc, float scale,
                 UColor colour) {
    GameFx::addToList(
        GameController::kSmokeList,
        SpriteEffect::createSmoke(at.x, at.y, at.z, count, speedMin, speedMax, direction, arc, scale, colour), true);
}

}  // namespace EnemyFx
