#pragma once
// A side's plane in the Duel: a vehicle that flies at a speed along a heading in the
// screen's plane and fires its weapon along that heading. Shot down it falls spinning
// and trailing smoke; reaching the water finishes it. Its look is a BiplaneModel tinted
// in the side's colour.
//
// States: 1 flying, 2 hit and falling, 3 down (in the water). A plane that flies into
// the water goes from 1 to 3 at once and costs its side kWaterPenalty points. A plane
// that is down no longer updates or draws and reports not operational; it stays in the
// plane list until the round is cleared.
//
// Vehicle fields as the plane uses them: minPower / maxPower / nominalPower are the
// minimum, maximum and reference speed, `power` the current speed and `powerRate` the
// acceleration; bRaise / bLower accelerate and decelerate. Computer planes replace
// `control` (PlaneAI, PlaneAIDogfight).
//
// Units: world units, seconds of the scene clock, radians counter-clockwise from +x
// (the heading is kept in [0, 2 pi)).
//
// Lifetime: made by the Duel's round set-up into the plane list, which owns it, and
// made the side's PlayerData::pVehicle. Owns its model (as its skin) and its engine
// sound channel. Main thread only.
#include <cstdint>

#include "game/Vehicle.h"

class BiplaneModel;
class SoundChannel;

class Plane : public Vehicle {
public:
    enum State : std::int32_t { kFlying = 1, kFalling = 2, kDown = 3 };
    static constexpr float kMinSpeed = 75.0f;          // units per second
    static constexpr float kMaxSpeed = 250.0f;         // units per second
    static constexpr float kP35MaxSpeed = 350.0f;      // units per second
    static constexpr float kAcceleration = 250.0f;     // units per second squared
    static constexpr float kFallGravity = 64.0f;       // units per second squared, downward, once hit
    static constexpr std::int32_t kScoreValue = 1500;  // what the opponent earns for shooting it down
    static constexpr std::int32_t kWaterPenalty = 1000;
    static constexpr UColor kIconColour = 0x80000000u;  // black at half opacity

    explicit Plane(std::int32_t side);
    // Stops the engine loop, which would otherwise play on.
    ~Plane() override;

    void tick(double time, double dt) override { update(time, dt); }
    // One frame of flight (see the header comment); nothing once down.
    virtual void update(double time, double dt);
    // The model takes the heading, then draws; nothing once down.
    void render() override;
    // Shot down: a flying plane starts to fall (no deletion: the water ends it).
    void destroy(GameEntity* source) override;
    using GameEntity::destroy;
    // The scene shakes and "planeHit" plays, for every hit.
    void onHit(GameEntity* source, float taken) override;
    void onStateChanged() override;
    bool isOperational() override;
    // The HUD's picture: the plain body at half size in translucent black.
    void drawIcon(float x, float y, float z) override;

    // The experimental plane's look and handling (the PX-35 mutator).
    void setP35Look();

    double smokeTimer = 0.0;              // s since the last exhaust or smoke puff
    double smokeInterval;                 // s between puffs: 0.015, or 0.045 at detail 0
    float projectileSpeedFactor = 1.2f;   // shots leave at this factor x the current speed
    SoundChannel* engineSound = nullptr;  // the engine loop; owned
    BiplaneModel* model = nullptr;        // owned, as the skin

private:
    void fly(float dt);
    void turn(float dt);
    void emitExhaust(double dt);
    void fall(double dt);
    void fireWeapon(double time, double dt);
    void move(float dt);
    void hitWater();
    void updateEngineSound();
    void startFalling();
    void replaceEngineSound(const char16_t* name);
    void stopEngineSound();
};
