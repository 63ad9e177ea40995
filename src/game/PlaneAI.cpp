#include "game/PlaneAI.h"

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
constexpr float kPalmScore = 0.5f;
constexpr float kSureAim = kPi / 32.0f;            // a projectile aimed this close scores fully
constexpr float kAimFalloff = 3.0f * kPi / 32.0f;  // ... and nothing from pi/8 on
constexpr float kThreatNear = 384.0f;              // units: a projectile passing this near scores fully
constexpr float kThreatFalloff = 128.0f;           // ... and nothing from 512 on
constexpr float kBonusNear = 128.0f;
constexpr float kBonusFalloff = 384.0f;
constexpr float kDiveHeight = 32.0f;                       // units above a palm's middle that the dive aims at
constexpr float kWaypointLift = 16.0f;                     // units a high waypoint rises while pulling up
constexpr std::uint32_t kCruiseStep = 256;                 // random waypoints lie up to this far up and right
constexpr float kClimbMin = 100.0f, kClimbRange = 400.0f;  // units of the climb after a dive

float clamp01(float x) { return std::clamp(x, 0.0f, 1.0f); }

PlayerData* playerOf(std::int32_t side) {
    const GameController* game = GameFx::currentGame();
    return game ? game->getPlayerData(side) : nullptr;
}

bool hasStandingPalm(const PlayerData& player) {
    for (const auto& palm : player.palms)
        if (palm && palm->isStanding()) return true;
    return false;
}
}  // namespace

PlaneAI::PlaneAI(std::int32_t side_) : Plane(side_) {
    marker.position = Vector3{0.0f, 150.0f + static_cast<float>(Random::next() % 400), 0.0f};
    aiState.setState(kCruise);
}

void PlaneAI::control() { think(); }

double PlaneAI::clock() const {
    const Context* context = qor->pCurrentContext;
    return context ? context->localTime : 0.0;
}

double PlaneAI::frameTime() const {
    const Context* context = qor->pCurrentContext;
    return context ? context->dt : 0.0;
}

double PlaneAI::skillPause() {
    const GameController* game = GameFx::currentGame();
    return 3.0 - 2.5 * static_cast<double>(game ? game->aiSkill : 0.0f);
}

float PlaneAI::distanceToMarker() const { return pointDistance(position, marker.position); }

void PlaneAI::setAiState(std::int32_t s) {
    aiState.stateLeft = 0.0;
    aiState.stateGoto = s;
    aiState.timeInState = 0.0;
    aiState.state = s;
}

void PlaneAI::pullTrigger() { bFirePressed = bFireHeld = 1; }

void PlaneAI::fireOnRhythm(double time, double factor) {
    if (time < nextFireTime) return;
    // The first pass only schedules: a fresh rhythm never fires at once.
    if (nextFireTime > 0.0) pullTrigger();
    nextFireTime = time + static_cast<double>(Random::fraction()) * factor;
}

void PlaneAI::scorePalm() {
    PlayerData* opponent = playerOf(1 - side);
    targetPalm = nullptr;
    targetPalmScore = kNone;
    if (!opponent || !hasStandingPalm(*opponent)) return;
    targetPalm = opponent->pickRandomPalm();
    targetPalmScore = kPalmScore;
}

// A projectile is dangerous when it points at where this plane will be by the time it
// gets there, and will pass near.
void PlaneAI::scoreThreats(int layer) {
    threat = nullptr;
    threatScore = kNone;
    const GameController* game = GameFx::currentGame();
    QorBase* list = game ? game->layer(layer) : nullptr;
    if (!list) return;
    for (ChildIterator it(list); !it.done; it.next()) {
        auto* p = dynamic_cast<GameEntity*>(static_cast<QorBase*>(it.current));
        const float speed = p ? vectorLength(p->velocity) : 0.0f;
        // A projectile at rest never arrives.
        if (!p || p->side == side || !(speed > 0.0f)) continue;
        const float t = pointDistance(p->position, position) / speed;
        const Vector3 d = position + velocity * t - p->position;
        const float toward = std::atan2(d.y, d.x);
        const float aim = 1.0f - clamp01((std::fabs(wrapAngle(p->heading, toward)) - kSureAim) / kAimFalloff);
        const float near = 1.0f - clamp01((vectorLength(d) - kThreatNear) / kThreatFalloff);
        if (near * aim <= threatScore) continue;
        threat = p;
        threatScore = near * aim;
        const float s = wrapAngle(p->heading, toward);
        const bool crossing = std::fabs(wrapAngle(p->heading, heading)) >= kPi / 2.0f;
        evadeDirection = (s > 0.0f) != crossing ? 1 : -1;
    }
}

// Diving, the plane needs time to turn level; it pulls up the shorter way when that time
// would take it into the water.
void PlaneAI::scoreWaterHazard() {
    waterHazardScore = kNone;
    if (!(velocity.y < 0.0f) || !(turnRate > 0.0f)) return;
    const float turnTime = (kPi / 2.0f - std::fabs(3.0f * kPi / 2.0f - heading)) / turnRate;
    if (position.y + velocity.y * turnTime >= 0.0f) return;
    waterHazardScore = 1.0f;
    waterHazardDirection = heading >= 3.0f * kPi / 2.0f ? 1 : -1;
    if (marker.position.y > position.y) marker.position.y += kWaypointLift;
}

void PlaneAI::scoreBonuses() {
    bonusTarget = nullptr;
    bonusScore = kNone;
    const GameController* game = GameFx::currentGame();
    QorBase* list = game ? game->layer(GameController::kBonusBalloonList) : nullptr;
    if (!list) return;
    for (ChildIterator it(list); !it.done; it.next()) {
        auto* b = dynamic_cast<GameEntity*>(static_cast<QorBase*>(it.current));
        if (!b) continue;
        const float score = 1.0f - clamp01((pointDistance(position, b->position) - kBonusNear) / kBonusFalloff);
        if (score <= bonusScore) continue;
        bonusTarget = b;
        bonusScore = score;
    }
    // Weighted once, here: a score kept from an earlier scan is not weighted again.
    if (bonusTarget) bonusScore *= vehicleFactors[2];
}

void PlaneAI::evadeThreat(float best) {
    if (!(threatScore > 0.0f) || threatScore != best) return;
    bTurnRight = evadeDirection < 0;
    bTurnLeft = evadeDirection > 0;
}

void PlaneAI::fetchBonus(float best) {
    if (!(bonusScore > 0.0f) || aiState.state != kCruise || bonusScore != best || !bonusTarget) return;
    setAiState(kFetchBonus);
    marker.position = bonusTarget->position;
    nextFireTime = 0.0;
}

void PlaneAI::avoidWater() {
    if (!(waterHazardScore > 0.0f)) return;
    bTurnLeft = waterHazardDirection > 0;
    bTurnRight = waterHazardDirection < 0;
}

void PlaneAI::think() {
    float best = kNone;
    scorePalm();
    targetPalmScore *= targetPalm ? vehicleFactors[0] : 1.0f;
    best = std::max(best, targetPalmScore);
    scoreThreats(GameController::kCannonShellList);
    threatScore *= threat ? vehicleFactors[1] : 1.0f;
    best = std::max(best, threatScore);
    if (aiState.state == kCruise) scoreBonuses();
    if (bonusTarget) best = std::max(best, bonusScore);
    scoreWaterHazard();

    computeAim(&marker, false, 0.0f, 0.0f, 0.0f);
    evadeThreat(best);
    fetchBonus(best);
    avoidWater();
    bRaise = power < maxPower;

    const double time = clock();
    if (time >= nextFireTime) {
        double factor = remapClamped(0.05f, 3.0f, 64.0f, 384.0f, distanceToMarker());
        if (aiState.state == kAttack) factor *= 0.5;
        fireOnRhythm(time, factor * skillPause());
    }
    advancePlan();
}

void PlaneAI::advancePlan() {
    aiState.tickState(clock(), frameTime());
    if (distanceToMarker() >= kReachedRange) return;
    switch (aiState.state) {
        case kCruise:
            pickWaypoint();
            break;
        case kAttack:
            climbAway();
            break;
        case kFetchBonus:
            pickWaypoint();
            pullTrigger();
            break;
        default:
            break;
    }
}

// After a dive the plane climbs away ahead of itself, up and to the side it flies to.
void PlaneAI::climbAway() {
    setAiState(kCruise);
    const float distance = kClimbMin + kClimbRange * Random::fraction();
    const float spread = Random::fraction() * kPi / 2.0f;
    const float angle = velocity.x >= 0.0f ? spread : kPi / 2.0f + spread;
    marker.position =
        Vector3{position.x + distance * std::cos(angle), position.y + distance * std::sin(angle), marker.position.z};
}

void PlaneAI::pickWaypoint() {
    if (targetPalm) {
        setAiState(kAttack);
        marker.position = targetPalm->boundsCentre + Vector3{0.0f, kDiveHeight, 0.0f};
        nextFireTime = 0.0;
        return;
    }
    setAiState(kCruise);
    const auto dx = static_cast<float>(Random::next() % kCruiseStep);
    const auto dy = static_cast<float>(Random::next() % kCruiseStep);
    marker.position = Vector3{position.x + dx, std::max(position.y + dy, 0.0f), position.z};
}
