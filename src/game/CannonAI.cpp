#include "game/CannonAI.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/ChildIterator.h"
#include "engine/MathHelpers.h"
#include "engine/Qor.h"
#include "engine/Random.h"
#include "game/GameController.h"
#include "game/GameFx.h"
#include "game/Palm.h"
#include "game/PlayerData.h"
#include "render/Context.h"

namespace {
constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kSureHit = 64.0f;     // units: a bomb coming down this near a palm scores fully
constexpr float kHitFalloff = 64.0f;  // ... and nothing from 128 on
constexpr float kNearRange = 256.0f;  // units: a plane this near scores fully
constexpr float kFarRange = 1024.0f;  // ... and a tenth from this far on
constexpr float kFarScore = 0.1f;
constexpr float kBonusNear = 256.0f;
constexpr float kBonusFalloff = 768.0f;

float clamp01(float x) { return std::clamp(x, 0.0f, 1.0f); }

QorBase* gameList(int index) {
    const GameController* game = GameFx::currentGame();
    return game ? game->layer(index) : nullptr;
}

GameEntity* entityAt(const ChildIterator& it) { return dynamic_cast<GameEntity*>(static_cast<QorBase*>(it.current)); }
}  // namespace

CannonAI::CannonAI(std::int32_t side_) : Cannon(side_) {}

void CannonAI::control() { think(); }

// How near `bomb` will come down to the nearest standing palm of this side, or kNone
// when it reaches no palm's height at any time it could be aimed by: such a bomb is no
// threat to judge.
float CannonAI::threatTo(const GameEntity& bomb) const {
    const PlayerData* own = ownPlayer();
    if (!own) return kNone;
    float score = kNone;
    for (const auto& palm : own->palms) {
        if (!palm || !palm->isStanding()) continue;
        const std::optional<float> t = bomb.timeToHeight(palm->boundsCentre.y);
        if (!t) continue;
        const float x = bomb.position.x + bomb.velocity.x * *t;
        const float s = 1.0f - clamp01((std::fabs(x - palm->position.x) - kSureHit) / kHitFalloff);
        score = std::max({score, 0.0f, s});
    }
    return score;
}

void CannonAI::scorePalmThreats() {
    threat = nullptr;
    threatScore = kNone;
    QorBase* list = gameList(GameController::kBombList);
    if (!list) return;
    for (ChildIterator it(list); !it.done; it.next()) {
        GameEntity* bomb = entityAt(it);
        if (!bomb || bomb->side == side) continue;
        const float score = threatTo(*bomb);
        if (score <= threatScore) continue;
        threat = bomb;
        threatScore = score;
    }
}

// How straight the enemy plane flies at the cannon (1 head on), and how near.
void CannonAI::scoreOpponent() {
    Vehicle* v = operationalOpponent();
    opponent = nullptr;
    opponentScore = kNone;
    if (!v) return;
    const Vector3 d = position - v->position;
    const float aspect = 1.0f - std::fabs(wrapAngle(v->heading, std::atan2(d.y, d.x))) / kPi;
    opponent = v;
    opponentScore = aspect * remapClamped(1.0f, kFarScore, kNearRange, kFarRange, vectorLength(d));
}

// Only balloons on screen: the cannon does not shoot at what the player cannot see.
void CannonAI::scoreBonuses() {
    bonusTarget = nullptr;
    bonusScore = kNone;
    QorBase* list = gameList(GameController::kBonusBalloonList);
    if (!list) return;
    for (ChildIterator it(list); !it.done; it.next()) {
        GameEntity* b = entityAt(it);
        if (!b || !b->bVisible) continue;
        const float score = 1.0f - clamp01((pointDistance(position, b->position) - kBonusNear) / kBonusFalloff);
        if (score <= bonusScore) continue;
        bonusTarget = b;
        bonusScore = score;
    }
}

GameEntity* CannonAI::pickTarget() {
    scorePalmThreats();
    scoreOpponent();
    scoreBonuses();
    float best = kNone;
    GameEntity* target = nullptr;
    if (threat && threatScore * vehicleFactors[1] > best) {
        best = threatScore * vehicleFactors[1];
        target = threat;
    }
    if (opponent && opponentScore * vehicleFactors[0] > best) {
        best = opponentScore * vehicleFactors[0];
        target = opponent;
    }
    if (bonusTarget && bonusScore * vehicleFactors[2] > best) target = bonusTarget;
    return target;
}

void CannonAI::think() {
    GameEntity* target = pickTarget();
    const GameController* game = GameFx::currentGame();
    const Context* context = qor->pCurrentContext;
    const double time = context ? context->localTime : 0.0;
    if (target) {
        // Bullets of the autocannon fly straight; cannon balls fall.
        const float gravity = game && game->bAutocannons ? 0.0f : kShellGravity;
        const float error = std::fabs(computeAim(target, true, 0.0f, gravity, 0.0f));
        if (time >= nextFireTime) {
            // The first pass only schedules: a fresh rhythm never fires at once.
            if (nextFireTime > 0.0) bFirePressed = bFireHeld = 1;
            const double pause = 3.0 - 2.5 * static_cast<double>(game ? game->aiSkill : 0.0f);
            nextFireTime =
                time + static_cast<double>(Random::fraction()) * remapClamped(1.0f, 3.0f, 0.0f, kPi, error) * pause;
        }
    }
    bRaise = power < maxPower;
}
