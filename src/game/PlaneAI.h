#pragma once
// The computer's plane for the bombing rounds: it bombs the opponent's palms while the
// opponent's cannon shoots at it. Instead of reading keys it thinks once per frame:
// it scores a palm to dive on, the most dangerous enemy shell, a bonus balloon to fetch
// and the water below, takes the goal with the highest weighted score, and sets the
// same control flags a person would.
//
// The plan (aiState): 1 cruise to the waypoint, 2 attack (dive on the palm), 3 fetch a
// bonus balloon. The waypoint is `marker`'s position. Shots follow a rhythm: at
// nextFireTime the plane fires (unless that time was 0, which only schedules) and draws
// the next time, the pauses shrinking with the game's AI skill.
//
// Scores lie in [0, 1], or kNone without a candidate; the weights are the vehicle's
// AI weights (target, threat, bonus) taken from the game.
//
// Everything it follows is held by links that read as null once the object is gone.
// Lifetime and units as Plane. Main thread only.
#include <cstdint>

#include "engine/StateBase.h"
#include "engine/TypedLink.h"
#include "game/GameEntity.h"
#include "game/Plane.h"

class Palm;

class PlaneAI : public Plane {
public:
    enum AiState : std::int32_t { kCruise = 1, kAttack = 2, kFetchBonus = 3 };
    static constexpr float kNone = -1.0f;          // the score of a goal without a candidate
    static constexpr float kReachedRange = 64.0f;  // units: a waypoint this near counts as reached

    explicit PlaneAI(std::int32_t side);

    // Replaces the human control: the think operation of the plane.
    void control() override;
    // One frame of planning: scores, steering, firing, the plan's progress.
    virtual void think();

    // The scoring helpers: each sets its target link (or clears it) and its score.
    void scorePalm();
    // Enemy projectiles of entity list `layer` (a GameController::Layer).
    void scoreThreats(int layer);
    void scoreWaterHazard();
    void scoreBonuses();
    // The next waypoint: a dive on the target palm, or a cruise up and to the right.
    virtual void pickWaypoint();

    GameEntity marker{-1};       // the waypoint (its position); not in the tree
    StateBase aiState;           // the plan: AiState
    double nextFireTime = 0.0;   // scene clock s of the next shot; 0 = none scheduled
    TypedLink<Palm> targetPalm;  // the opponent's palm to bomb; not owned
    float targetPalmScore = kNone;
    TypedLink<GameEntity> threat;  // the most dangerous enemy projectile; not owned
    float threatScore = kNone;
    std::int32_t evadeDirection = 0;        // -1 turn clockwise, +1 counter-clockwise, 0 none
    float waterHazardScore = kNone;         // 1 when the plane would reach the water before levelling out
    std::int32_t waterHazardDirection = 0;  // -1 / +1: the shorter way to level flight
    TypedLink<GameEntity> bonusTarget;      // the bonus balloon to fetch; not owned
    float bonusScore = kNone;               // weighted

protected:
    // Moves the plan to `s` at once, dropping any change still pending.
    void setAiState(std::int32_t s);
    // The steering overrides shared by both planes: evasion, the bonus fetch, the water.
    void evadeThreat(float best);
    void fetchBonus(float best);
    void avoidWater();
    // Presses fire in this frame.
    void pullTrigger();
    // The shot rhythm: at nextFireTime fire (unless it was 0) and schedule the next one
    // `factor` x a random fraction later.
    void fireOnRhythm(double time, double factor);
    // The pause scale of the game's AI skill: 3.0 at skill 0 down to 0.5 at skill 1.
    static double skillPause();
    float distanceToMarker() const;
    // The scene clock and frame time of the tick in progress.
    double clock() const;
    double frameTime() const;

private:
    void advancePlan();
    void climbAway();
};
