#pragma once
// The computer's plane for the dogfight round: it hunts the opponent's plane. It
// cruises between random points of the view for a while (planTime), then chases the
// opponent for a while, evading bullets, fetching bonus balloons and pulling up before
// the water, and fires more often the better its aim is.
//
// The plan (aiState) as PlaneAI, with 2 meaning the chase. Lifetime and units as
// Plane. Main thread only.
#include <cstdint>

#include "engine/TypedLink.h"
#include "game/PlaneAI.h"

class PlaneAIDogfight : public PlaneAI {
public:
    // A plane that starts chasing after 1 to 3 s.
    explicit PlaneAIDogfight(std::int32_t side);

    void think() override;
    // The opponent's plane while it is operational: how well this plane sits behind it
    // and how near.
    void scoreOpponent();
    // A random point of what the scene camera shows, never below the water line.
    void pickRandomWaypoint();
    void pickWaypoint() override { pickRandomWaypoint(); }

    TypedLink<Vehicle> opponent;  // the enemy side's vehicle; not owned
    float opponentScore = kNone;
    double planTime = 0.0;  // s the current cruise or chase lasts

private:
    void setSpeedFor(float aim);
    void advancePlan();
};
