#include "game/PlaneAIDogfight.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/MathHelpers.h"
#include "engine/Qor.h"
#include "engine/Random.h"
#include "game/GameController.h"
#include "render/Camera.h"
#include "render/Context.h"

namespace {
constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kNearRange = 256.0f;  // units: an opponent this near scores fully
constexpr float kFarRange = 1024.0f;  // ... and a tenth from this far on
constexpr float kFarScore = 0.1f;

double randomPlanTime() { return 2.0 + 3.0 * static_cast<double>(Random::fraction()); }
}  // namespace

PlaneAIDogfight::PlaneAIDogfight(std::int32_t side_) : PlaneAI(side_) {
    aiState.setState(kAttack, 1.0 + 2.0 * static_cast<double>(Random::fraction()));
    planTime = randomPlanTime();
}

// How well this plane sits on the opponent's tail (1 straight behind it), and how near.
void PlaneAIDogfight::scoreOpponent() {
    Vehicle* v = operationalOpponent();
    opponent = nullptr;
    opponentScore = kNone;
    if (!v) return;
    const Vector3 d = v->position - position;
    const float aspect = 1.0f - std::fabs(wrapAngle(v->heading, std::atan2(d.y, d.x))) / kPi;
    opponent = v;
    opponentScore = aspect * remapClamped(1.0f, kFarScore, kNearRange, kFarRange, vectorLength(d));
}

void PlaneAIDogfight::pickRandomWaypoint() {
    const Context* context = qor->pCurrentContext;
    ViewRect view{-400.0f, 240.0f, 400.0f, -240.0f};
    if (context && context->pCamera) view = context->pCamera->getViewRect(0.0f);
    view.bottom = std::max(view.bottom, 0.0f);
    // A view entirely under water leaves only the water line to fly to.
    view.top = std::max(view.top, view.bottom);
    const float x = view.left + (view.right - view.left) * Random::fraction();
    const float y = view.bottom + (view.top - view.bottom) * Random::fraction();
    marker.position = Vector3{x, y, 0.0f};
}

// Full speed while the aim point lies ahead or to the right, slowing to the least speed
// as it swings a quarter turn to the left, so that the plane turns tighter.
void PlaneAIDogfight::setSpeedFor(float aim) {
    const float target = remapClamped(maxPower, minPower, 0.0f, kPi / 2.0f, aim);
    bRaise = power < target;
    bLower = power > target;
}

void PlaneAIDogfight::think() {
    float best = kNone;
    scoreOpponent();
    opponentScore *= opponent ? vehicleFactors[0] : 1.0f;
    best = std::max(best, opponentScore);
    scoreThreats(GameController::kBulletList);
    threatScore *= threat ? vehicleFactors[1] : 1.0f;
    best = std::max(best, threatScore);
    scoreBonuses();
    if (bonusTarget) best = std::max(best, bonusScore);
    scoreWaterHazard();

    const float aim = computeAim(&marker, true, 0.0f, 0.0f, 0.0f);
    setSpeedFor(aim);
    const double time = clock();
    if (time >= nextFireTime) {
        double factor = remapClamped(1.0f, 3.0f, 0.0f, kPi, std::fabs(aim)) * skillPause();
        if (aiState.state == kCruise) factor *= 2.0;
        fireOnRhythm(time, factor);
    }
    evadeThreat(best);
    fetchBonus(best);
    avoidWater();
    advancePlan();
}

void PlaneAIDogfight::advancePlan() {
    aiState.tickState(clock(), frameTime());
    switch (aiState.state) {
        case kCruise:
            if (distanceToMarker() < kReachedRange) pickRandomWaypoint();
            if (aiState.timeInState > planTime) {
                setAiState(kAttack);
                planTime = randomPlanTime();
                nextFireTime = 0.0;
            }
            break;
        case kAttack:
            if (opponent && opponent->health > 0.0f && aiState.timeInState <= planTime) {
                marker.position = opponent->position;
                return;
            }
            setAiState(kCruise);
            planTime = randomPlanTime() * skillPause();
            pickRandomWaypoint();
            break;
        case kFetchBonus:
            if (distanceToMarker() < kReachedRange) {
                pullTrigger();
                setAiState(kAttack);
                planTime = randomPlanTime();
                nextFireTime = 0.0;
            }
            break;
        default:
            break;
    }
}
