#include "game/Palm.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/MathHelpers.h"
#include "engine/Qor.h"
#include "engine/Random.h"
#include "engine/ResourceManager.h"
#include "game/GameController.h"
#include "game/GameFx.h"
#include "game/GameGlobal.h"
#include "game/PalmSaveRecord.h"
#include "game/PalmTrunkMesh.h"
#include "game/PlayerData.h"
#include "game/SpriteEffect.h"
#include "game/Vehicle.h"
#include "inputaudio/Sound.h"
#include "render/Texture.h"

namespace {
constexpr float kPi = std::numbers::pi_v<float>;
constexpr int kAnchorBottomCentre = 2;
constexpr double kShakeStrength = 0.01;  // radians of roll
constexpr float kIslandRadius = 125.0f;  // how far from the island's centre palms stand
constexpr float kIslandRise = 25.0f;     // how high up the island's slope they reach
constexpr float kMaxSavedHeight = 1.0f;  // a trunk rectangle lies within its texture

GameController* currentGame() { return GameFx::currentGame(); }

int detailLevel() { return GameFx::detailLevel(); }

Sound* findSound(const char16_t* name) { return static_cast<Sound*>(qor->resources().find(true, name)); }
}  // namespace

Palm::Palm(std::int32_t side_) : GameEntity(side_) {
    palmTexture = static_cast<Texture*>(qor->resources().find(true, u"palm"));
    const int detail = detailLevel();
    smokeInterval = detail != 0 ? kSmokeInterval : kLowDetailSmoke;
    spring.anchor = spring.position;
    scoreValue = 1000;
    bOwnsSkin = 1;
    collisionSensitivity = 0.25f;
    buildTrunk(detail);
    placeOnIsland();
    spring.mass = 0.01f;
    spring.damping = 2.0f;
    health = maxHealth = 1.0f;
    setState(kStanding);
}

void Palm::buildTrunk(int detail) {
    auto* trunk = new PalmTrunkMesh();
    trunk->pTexture = palmTexture;
    trunk->refresh();
    // Skin 0 is the trunk picture; a texture cut otherwise gives its whole area.
    if (const auto* picture = palmTexture->skins.empty() ? nullptr : dynamic_cast<Quad*>(palmTexture->skins[0]))
        trunk->uvRect = picture->uvRect;
    trunk->refresh();
    // Whatever the detail level, a trunk needs two rows to have a foot and a top.
    trunk->rows = std::max(detail * 8 + 8, 2);
    trunk->allocateVertices();
    pSkin = trunk;
    trunkRect = trunk->uvRect;
    trunk->setAnchor(kAnchorBottomCentre);
    fullHeight = currentHeight = trunkRect[3] - trunkRect[1];
    burntHeight = kBurntHeight;
}

// Palms stand on the upper half of an ellipse around the island's centre, higher up the
// slope toward the middle, tilted a little away from it.
void Palm::placeOnIsland() {
    Vector3 island{0.0f, 0.0f, 0.0f};
    if (GameController* game = currentGame())
        if (const PlayerData* p = game->getPlayerData(side); p && p->pIsland) island = p->pIsland->position;
    const float r1 = static_cast<float>(Random::next()) / 65536.0f;
    const float r2 = static_cast<float>(Random::next()) / 65536.0f;
    const float a = r1 * 3.0f * kPi / 4.0f + kPi / 8.0f;
    const float s = r2 * 0.25f + 0.75f;
    const float x = s * kIslandRadius * std::cos(a) + island.x;
    const float slope = (kPi / 2.0f - std::fabs(a - 0.4f * kPi)) * 0.35f + 1.0f;
    const float y = (island.y - 5.0f) + slope * s * kIslandRise * std::sin(a);
    setPosition(x, y, 0.0f);
    mesh()->setBend(bendOffset);
    rotation.z = (a - kPi / 2.0f) * 0.125f;
    updateXform();
}

PalmTrunkMesh* Palm::mesh() const { return static_cast<PalmTrunkMesh*>(pSkin); }

void Palm::calcBounds() {
    boundsCentre = local2world(Vector3{0.0f, 0.0f, 0.0f});
    boundsRadius = kBoundsRadius;
}

void Palm::update(double time, double dt) {
    // The state machine and children only: a palm never takes the entity's motion step.
    QorBase::tick(time, dt);  // NOLINT(bugprone-parent-virtual-call)
    spring.update(time, dt);
    if (state == kBurning) burnStep(dt);
    updateBend();
}

// The palm reaches full burn in one frame and counts as lost in the next, so that the
// burnt-down trunk is drawn once before the game hears of the loss.
void Palm::burnStep(double dt) {
    if (burnProgress >= 1.0f) {
        loseToFire();
        return;
    }
    const float t = std::clamp(burnProgress + static_cast<float>(dt), 0.0f, 1.0f);
    burnProgress = t;
    currentHeight = fullHeight + t * (burntHeight - fullHeight);
    color = lerpColor(kHealthyColour, kBurntColour, t);
    setTrunkTop(trunkRect[3] - currentHeight);
    smokeTimer += dt;
    if (smokeTimer >= smokeInterval) {
        smokeTimer = 0.0;
        emitSmoke(t);
    }
}

// Shortens the trunk toward its foot: the rectangle's top moves, its foot stays anchored.
void Palm::setTrunkTop(float top) {
    PalmTrunkMesh* trunk = mesh();
    trunk->uvRect = {trunkRect[0], top, trunkRect[2], trunkRect[3]};
    trunk->refresh();
    trunk->setAnchor(kAnchorBottomCentre);
    updateXform();
}

void Palm::emitSmoke(float t) {
    GameController* game = currentGame();
    if (!game) return;
    // From near the top of the trunk as bent, rising as the trunk burns down.
    const Vector3 at = local2world(Vector3{0.0f, mesh()->height / 2.0f - 16.0f + 16.0f * t, 0.0f});
    game->layer(GameController::kSmokeList)
        ->addChildFirst(
            SpriteEffect::createSmoke(at.x, at.y, at.z, 2, 25.0f, 100.0f, kPi / 2.0f, kPi / 2.0f, t + 1.0f, color));
    if (detailLevel() >= 1 && t < kFlamesUntil)
        game->layer(GameController::kBeamList)
            ->addChildFirst(new SpriteEffect(at.x, at.y, at.z, 2, 15.0f, 50.0f, kPi / 2.0f, kPi / 2.0f, 2.0f - t));
}

void Palm::loseToFire() {
    setState(kBurnt);
    GameController* game = currentGame();
    PlayerData* own = ownPlayer();
    if (!game || !own) return;
    // A count that is already 0 (a restored game whose count disagrees with its palms)
    // must not report the side's last palm a second time.
    const bool wasCounted = own->livePalms > 0;
    if (wasCounted) --own->livePalms;
    game->savePalms();
    if (wasCounted && own->livePalms == 0) game->onPalmsDestroyed(own->side);
}

void Palm::updateBend() {
    const float share = fullHeight > 0.0f ? currentHeight / fullHeight : 0.0f;
    if (mesh()->setBend(share * (bendOffset - spring.position.x * kBendPerUnit))) updateXform();
}

void Palm::onHit(GameEntity* source, float) {
    if (source) {
        const float kick = spring.velocity.x + source->velocity.x * std::cos(rotation.z);
        spring.velocity.x = std::clamp(kick, -kMaxSwaySpeed, kMaxSwaySpeed);
    }
    colourByHealth();
}

void Palm::colourByHealth() {
    const float share = maxHealth > 0.0f ? health / maxHealth : 0.0f;
    color = lerpColor(kBurntColour, kHealthyColour, share);
}

void Palm::burn(GameEntity* source) {
    // Only a standing palm catches fire: a second call must not count the loss twice.
    if (state != kStanding) return;
    setState(kBurning);
    findSound(u"treeBurn")->playAt(position);
    GameController* game = currentGame();
    if (!game) return;
    game->savePalms();
    GameFx::shakeCamera(kShakeStrength);
    // The attacker whose own vehicle is already down gets laughed at; a side that has
    // no vehicle at all (enemies, a side between rounds) does not.
    const PlayerData* attacker = source ? game->getPlayerData(source->side) : nullptr;
    const Vehicle* vehicle = attacker ? attacker->pVehicle.get() : nullptr;
    if (vehicle && vehicle->health <= 0.0f) findSound(u"nyuck")->play();
}

void Palm::savePalm(const PalmSaveRecord& record) const {
    record.setValidData(true);
    record.bytes.putS32(PalmSaveRecord::kState, state);
    record.putVector(PalmSaveRecord::kPosition, position);
    record.putVector(PalmSaveRecord::kRotation, rotation);
    record.bytes.putF32(PalmSaveRecord::kBendOffset, bendOffset);
    record.bytes.putF32(PalmSaveRecord::kCurrentHeight, currentHeight);
    record.bytes.putF32(PalmSaveRecord::kFullHeight, fullHeight);
    record.bytes.putF32(PalmSaveRecord::kBurntHeight, burntHeight);
    record.bytes.putF32(PalmSaveRecord::kHealth, health);
    record.bytes.putF32(PalmSaveRecord::kMaxHealth, maxHealth);
}

bool Palm::isLoadable(const PalmSaveRecord& record) {
    if (!record.isSound()) return false;
    const std::int32_t saved = record.bytes.getS32(PalmSaveRecord::kState);
    const float full = record.bytes.getF32(PalmSaveRecord::kFullHeight);
    const float current = record.bytes.getF32(PalmSaveRecord::kCurrentHeight);
    const float burnt = record.bytes.getF32(PalmSaveRecord::kBurntHeight);
    // The trunk divides by its full height and cuts its rectangle by the others.
    const auto withinTrunk = [full](float h) { return h >= 0.0f && h <= full; };
    return saved >= kStanding && saved <= kBurnt && full > 0.0f && full <= kMaxSavedHeight && withinTrunk(current) &&
           withinTrunk(burnt) && std::isfinite(record.bytes.getF32(PalmSaveRecord::kBendOffset));
}

bool Palm::loadPalm(const PalmSaveRecord& record) {
    if (!isLoadable(record)) return false;
    const Vector3 at = record.getVector(PalmSaveRecord::kPosition);
    setPosition(at.x, at.y, at.z);
    rotation = record.getVector(PalmSaveRecord::kRotation);
    updateXform();
    bendOffset = record.bytes.getF32(PalmSaveRecord::kBendOffset);
    currentHeight = record.bytes.getF32(PalmSaveRecord::kCurrentHeight);
    fullHeight = record.bytes.getF32(PalmSaveRecord::kFullHeight);
    burntHeight = record.bytes.getF32(PalmSaveRecord::kBurntHeight);
    health = record.bytes.getF32(PalmSaveRecord::kHealth);
    maxHealth = record.bytes.getF32(PalmSaveRecord::kMaxHealth);
    setState(record.bytes.getS32(PalmSaveRecord::kState));
    restoreTrunk();
    return true;
}

// The trunk as the record leaves it: the full rectangle cut to the saved full height, or
// the stump of a burnt palm. A palm saved while burning starts its second of fire anew.
void Palm::restoreTrunk() {
    trunkRect[3] = trunkRect[1] + fullHeight;
    PalmTrunkMesh* trunk = mesh();
    trunk->uvRect = trunkRect;
    trunk->refresh();
    if (state == kBurnt) {
        burnProgress = 1.0f;
        currentHeight = burntHeight;
        trunk->uvRect[1] = trunkRect[3] - burntHeight;
        trunk->refresh();
    }
    trunk->setAnchor(kAnchorBottomCentre);
    updateXform();
    colourByHealth();
}
