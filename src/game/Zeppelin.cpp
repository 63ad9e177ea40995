#include "game/Zeppelin.h"

#include <cmath>
#include <numbers>

#include "engine/ClassInfo.h"
#include "engine/Qor.h"
#include "engine/Random.h"
#include "game/AnnouncementText.h"
#include "game/AtomBomb.h"
#include "game/BomberBomb.h"
#include "game/EnemyFx.h"
#include "game/EnemySpawner.h"
#include "game/GameController.h"
#include "game/GameControllerCampaign.h"
#include "game/GameFx.h"
#include "game/PropelledBomb.h"
#include "game/SpriteEffect.h"
#include "game/ZeppelinPart.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "render/Camera.h"
#include "render/Context.h"
#include "render/Skin.h"

QOR_DEFINE_CLASS(Zeppelin, Enemy, nullptr)

namespace {
constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kWrapMargin = 32.0f;            // units past the right edge before it wraps
constexpr float kDropSpanStart = -80.0f;        // local x: single drops fall from the first car
constexpr float kDropSpan = 272.0f;             // to x = 192, past the last
constexpr float kRimX = 220.0f, kRimY = 24.0f;  // half the hull's length and height, local
constexpr float kBlastStep = 64.0f;             // local x between the large explosions
constexpr int kBlasts = 9;                      // from -256 to 256
constexpr float kFirstBlastX = -256.0f;         // local x of the first
constexpr double kSmallShake = 0.0025, kLargeShake = 0.02;

ViewRect currentView() {
    const Context* context = qor->pCurrentContext;
    if (!context || !context->pCamera) return ViewRect{-400.0f, 240.0f, 400.0f, -240.0f};
    return context->pCamera->getViewRect(0.0f);
}

}  // namespace

Zeppelin::Zeppelin() {
    health = maxHealth = kHullHealth;
    scoreValue = 0;  // the points are in its cars
    pSkin = EnemyFx::skin(u"zeppelin", kSkin);
    scale = Vector3{kScale, kScale, 1.0f};
    velocity = Vector3{kCruiseSpeed, 0.0f, 0.0f};
    collisionSensitivity = 0.0f;  // the hull itself never collides
    bOrientAlongVelocity = 1;
    bRemoveOffscreen = 0;
    setState(kCruising);
    updateXform();
}

ClassInfo* Zeppelin::getClass() const { return &classInfo; }

double Zeppelin::dropIntervalFor(std::uint32_t variant) {
    switch (variant) {
        case 1:
            return 0.5;
        case 2:
            return 1.4;
        case 4:
            return 1.3;
        default:
            return 10.0;
    }
}

void Zeppelin::placeOnLeft(float y) {
    const ViewRect view = currentView();
    position = Vector3{view.left - scale.x * (pSkin ? pSkin->width : 0.0f), y, 0.0f};
    updateXform();
}

void Zeppelin::enter() {
    const ViewRect view = currentView();
    const float h = view.top - view.bottom;
    placeOnLeft(view.top + h / 2 * (0.3f + 0.5f * Random::fraction()));
    GameController* game = GameFx::currentGame();
    const float strength = static_cast<float>(tint) / 4.0f * 7.0f + 7.0f;
    for (float x : kPartOffsets) {
        auto* part = new ZeppelinPart(strength);
        part->owner.set(this);
        part->offset = Vector3{x, 0.0f, 0.0f};
        part->enter();
        part->tick(0.0, 0.0);  // onto its place on the hull before anything sees it
        GameFx::addToList(GameController::kEnemyList, part, true);
        ++partsLeft;
        if (game) game->targetsReleased += part->scoreValue;
    }
    dropInterval = dropIntervalFor(tint);
    // The Invasion places the camera for the zeppelin's wave.
    if (auto* campaign = dynamic_cast<GameControllerCampaign*>(game)) campaign->placeCamera(0, true);
}

void Zeppelin::update(double time, double dt) {
    tickState(time, dt);
    integrate(dt);
    wrap();
    if (state == kSinking)
        sink();
    else
        dropLoad(dt);
}

void Zeppelin::wrap() {
    const ViewRect view = currentView();
    if (position.x <= view.right + kWrapMargin) return;
    placeOnLeft(kWaterLine + (view.top - kWaterLine) * (0.3f + 0.5f * Random::fraction()));
}

Vector3 Zeppelin::localPoint(float x) const { return xform.transformCoord(Vector3{x, 0.0f, 0.0f}); }

void Zeppelin::dropLoad(double dt) {
    dropTimer += dt;
    if (dropTimer < dropInterval) return;
    dropTimer = 0.0;
    switch (tint) {
        case 1:
            dropBomberBomb();
            break;
        case 2:
        case 4:
            dropPropelledBomb();
            break;
        default:
            dropAtomBombs();
            break;
    }
}

// What the zeppelin drops is worth nothing (its cars hold the points) but is hostile.
void Zeppelin::dropAtomBombs() {
    for (float x : kPartOffsets) {
        for (int k = 0; k < 2; ++k) {
            auto* bomb = new AtomBomb();
            bomb->scoreValue = 0;
            const Vector3 at = localPoint(x);
            bomb->setPosition(at.x, at.y, at.z);
            bomb->heading = Random::fraction() * 2 * kPi;
            // Not entered: it picks its palm in its first update.
            GameFx::addToList(GameController::kEnemyList, bomb, true);
        }
    }
}

void Zeppelin::dropBomberBomb() {
    const Vector3 at = localPoint(kDropSpan * Random::fraction() + kDropSpanStart);
    auto* bomb = new BomberBomb(at, Vector3{0.0f, 0.0f, 0.0f}, Vector3{0.0f, 0.0f, 0.0f});
    bomb->scoreValue = 0;
    // Where the bomber's bombs go, so that it can reach the palms.
    GameFx::addToList(GameController::kEnemyBombList, bomb);
    GameFx::playAt(u"bomberDropBomb", position);
}

void Zeppelin::dropPropelledBomb() {
    auto* bomb = new PropelledBomb();
    bomb->level = 1.0f;
    bomb->tint = PropelledBomb::kPlacedByDropper;
    bomb->scoreValue = 0;
    GameFx::addToList(GameController::kEnemyList, bomb, true);
    bomb->enter();
    const Vector3 at = localPoint(kDropSpan * Random::fraction() + kDropSpanStart);
    bomb->setPosition(at.x, at.y, at.z);
}

void Zeppelin::onPartDestroyed() {
    --partsLeft;
    if (partsLeft >= 1 || state == kSinking) return;
    acceleration.y = kSinkGravity;
    setState(kSinking);
    GameController* game = GameFx::currentGame();
    if (game && game->pAnnouncement)
        game->pAnnouncement->show(qor->language().getString(StringId::EXCELLENT), kAnnouncementTime, 0);
}

void Zeppelin::onHit(GameEntity*, float) { health = maxHealth; }

void Zeppelin::sink() {
    if (timeInState > kSinkTime) {
        finalExplosion();
        return;
    }
    // Catches up one explosion a frame should a long frame have passed the next time.
    if (nextExplosionTime == 0.0f || timeInState >= nextExplosionTime) smallExplosion();
}

void Zeppelin::smallExplosion() {
    const float a = Random::fraction() * 2 * kPi;
    const Vector3 at = xform.transformCoord(Vector3{kRimX * std::cos(a), kRimY * std::sin(a), 0.0f});
    auto* effect = new SpriteEffect(at.x, at.y, at.z, 10, 50.0f, 50.0f, a, kPi / 2, 4.0f);
    // In front of the hull or behind it, at random.
    const bool inFront = (Random::next() & 1u) != 0;
    GameFx::addToList(inFront ? GameController::kEffectList : GameController::kSmokeList, effect);
    GameFx::playAt(u"explosionShort", position, -0.75f, 0.0f);
    GameFx::shakeCamera(kSmallShake);
    nextExplosionTime += 0.05f + 0.5f * Random::fraction();
}

void Zeppelin::finalExplosion() {
    for (int i = 0; i < kBlasts; ++i) {
        const Vector3 at = localPoint(kFirstBlastX + kBlastStep * static_cast<float>(i));
        GameFx::addToList(GameController::kEffectList,
                          new SpriteEffect(at.x, at.y, at.z, 10, 50.0f, 100.0f, heading, 2 * kPi, 10.0f));
    }
    GameFx::playAt(u"explosionLong", position);
    GameFx::shakeCamera(kLargeShake);
    if (GameController* game = GameFx::currentGame()) EnemySpawner::destroyAll(*game);
    pendingDelete = 1;
}
