#include "game/GameFx.h"

#include <algorithm>
#include <numbers>

#include "engine/ErrorManager.h"
#include "engine/Qor.h"
#include "engine/ResourceManager.h"
#include "game/GameController.h"
#include "game/GameEntity.h"
#include "game/GameGlobal.h"
#include "game/Splash.h"
#include "game/SpriteEffect.h"
#include "inputaudio/QorInput.h"
#include "inputaudio/Sound.h"
#include "render/Texture.h"
#include "ui/BlenderCamera.h"
#include "ui/ContextBlender.h"

namespace {
constexpr float kPi = std::numbers::pi_v<float>;
}  // namespace

namespace GameFx {

GameController* currentGame() {
    auto* app = dynamic_cast<GameGlobal*>(global);
    return app ? app->pCurrentGame : nullptr;
}

// Particle counts and trunk rows scale with it: a value outside the options' range would
// make them absurd or negative.
int detailLevel() { return global ? std::clamp(global->configuration.detail, 0, 1) : 1; }

int detailPieces(int base) { return 6 * detailLevel() + base; }

void shakeCamera(double strength) {
    constexpr double kShakeSeconds = 1.0;
    GameController* game = currentGame();
    if (!game || !game->pScene) return;
    BlenderCamera* camera = game->pScene->camera();
    camera->shakeStrength = strength;
    camera->shakeDuration = kShakeSeconds;
    camera->shakeElapsed = 0.0;
}

bool bloatedProjectiles() {
    const GameController* game = currentGame();
    return game && game->bBloatedProjectiles;
}

void addToList(int index, QorBase* object, bool atFront) {
    GameController* game = currentGame();
    QorBase* list = game ? game->layer(index) : nullptr;
    if (!list) {
        object->destroy();
        return;
    }
    if (atFront)
        list->addChildFirst(object);
    else
        list->addChild(object);
}

Skin* projectileSkin(int index) {
    auto* sheet = static_cast<Texture*>(qor->resources().find(true, u"projectiles"));
    const std::size_t k = static_cast<std::size_t>(index) + (bloatedProjectiles() ? 1u : 0u);
    QOR_ASSERT("GameFx::projectileSkin", k < sheet->skins.size());
    return sheet->skins[k];
}

float touchSensitivity(float normal) { return qor->input().inputMode == QorInput::kModeTouch ? 1.0f : normal; }

Sound* findSound(const char16_t* name) { return static_cast<Sound*>(qor->resources().find(true, name)); }

void playAt(const char16_t* name, const Vector3& position) { findSound(name)->playAt(position); }

void playAt(const char16_t* name, const Vector3& position, float pitchLow, float pitchHigh) {
    Sound* sound = findSound(name);
    sound->frequencyVariationMin = pitchLow;
    sound->frequencyVariationMax = pitchHigh;
    sound->playAt(position);
}

void splashIntoWater(GameEntity& projectile) {
    projectile.pendingDelete = 1;
    const Vector3& p = projectile.position;
    if (detailLevel() >= 1)
        addToList(GameController::kEffectList, new Splash(p.x, p.y, p.z, 20, 0.0f, 200.0f, kPi / 2, kPi / 2, 1.0f));
    playAt(u"smallSplash", p);
}

void explodeAsBomb(GameEntity& projectile) {
    projectile.pendingDelete = 1;
    const Vector3& p = projectile.position;
    addToList(GameController::kEffectList,
              new SpriteEffect(p.x, p.y, p.z, detailPieces(4), 0.0f, 50.0f, projectile.heading, kPi, 1.5f));
    playAt(u"explosionShort", p, 0.0f, 0.5f);
}

}  // namespace GameFx
