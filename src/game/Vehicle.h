#pragma once
// What a player steers: the cannon on the island, and the plane. The base holds the aim
// (heading within limits), the shot power, the weapon, the blaster energy with its
// recharge, the attack and defence factors that bonuses change, and six control flags
// that `control` fills each frame.
//
// Control: `control` reads the human player's keys through the configuration's key
// bindings, or the pointer (mouse or touch) while the side's PlayerData says it steers
// with the pointer; computer players override it and fill the same flags from their own
// planning, using computeAim. Subclasses turn the flags into motion and shots.
//
// Units: radians counter-clockwise from +x (left turns make the heading grow), power as
// the speed handed to the weapon (units per second), energy as a fraction of a full bar
// (1.0), seconds.
//
// Lifetime: lives in the game controller's vehicle or plane list and is the side's
// PlayerData::pVehicle. It owns its weapon (replacing one deletes the old) and its bonus
// icons. Main thread only.
#include <cstdint>

#include "engine/QorBase.h"
#include "game/GameEntity.h"

class Weapon;

class Vehicle : public GameEntity {
public:
    static constexpr float kNoAngleLimit = 1608.4955f;  // 512 pi: the default limits mean none
    static constexpr float kRechargeRate = 0.25f;       // energy per second at recharge factor 1
    // The pointer distance that maps onto the power range, as fractions of the view width
    // reference (640 units at the default camera distance of half the virtual width).
    static constexpr float kPointerReference = 640.0f;
    static constexpr float kPointerNear = 0.1f;  // at or below: minPower
    static constexpr float kPointerFar = 0.25f;  // at or above: maxPower

    explicit Vehicle(std::int32_t side);
    // Deletes the weapon; the bonus icons go with the vehicle.
    ~Vehicle() override;

    // The energy recharge and, for side 0's human player, the switch between key and
    // pointer steering. Runs no motion step and ticks no children: subclasses call it
    // first from their own tick.
    void tick(double time, double dt) override;

    // False once the vehicle is out of play (a plane that is down).
    virtual bool isOperational();
    // A small picture of the vehicle for the HUD at (x, y, z); nothing here.
    virtual void drawIcon(float x, float y, float z);
    // Fills the six control flags from the human player's keys or pointer; leaves them
    // as they are while bControlsEnabled is clear. Computer players override it.
    virtual void control();

    // Spends `cost` of blaster energy: false (nothing spent) when there is less; true
    // without spending under the No blaster mutator.
    bool trySpendEnergy(float cost);
    // A firing solution for a shot of speed `power` that falls with acceleration
    // (gx, gy, gz) at `target` (its motion taken into account when useTargetMotion):
    // sets bTurnLeft / bTurnRight toward it and returns the signed turn still needed.
    // A vehicle without power aims straight at where the target is now.
    float computeAim(GameEntity* target, bool useTargetMotion, float gx, float gy, float gz);
    // Gives the vehicle `newWeapon` (may be null), deleting the one it had.
    void setWeapon(Weapon* newWeapon);

    // The key-binding column of this side: its own, or the other one when both sides are
    // played by people (the left island then plays on the second column's keys).
    std::int32_t keyColumn() const;
    // Whether the side's player steers with the pointer.
    bool usesPointer() const;

    float turnRate = 0.0f;                         // radians per second
    float minPower = 0.0f;                         // lowest shot power
    float maxPower = 0.0f;                         // highest shot power
    float nominalPower = 0.0f;                     // reference speed that subclasses set (cannon 500)
    float power = 0.0f;                            // current shot power: the speed handed to fire
    float powerRate = 0.0f;                        // change of power per second while raising or lowering
    float minAngle = -kNoAngleLimit;               // lowest allowed heading
    float maxAngle = kNoAngleLimit;                // highest allowed heading
    float aimAngle = 0.0f;                         // heading the pointer asks for
    float aimPower = 0.0f;                         // power the pointer asks for
    float attackFactor = 1.0f;                     // on damage dealt by the side's entities
    float defenceFactor = 1.0f;                    // on damage taken by the side's entities
    float fullHealth = 1.0f;                       // copied into health and maxHealth when made
    float energy = 1.0f;                           // blaster energy, spent by firing
    float energyCap = 1.0f;                        // the most energy the vehicle can hold
    float energyRecharge = 1.0f;                   // factor on the recharge speed
    float vehicleFactors[3] = {1.0f, 1.0f, 1.0f};  // AI weights (target, threat, bonus), from the game
    QorBase bonusIcons;                            // one icon per bonus received; owned
    std::uint8_t bControlsEnabled = 1;             // clear: control leaves the flags alone
    std::uint8_t bRaise = 0;                       // control flags of this frame: raise power / accelerate
    std::uint8_t bLower = 0;                       //   lower power / decelerate
    std::uint8_t bTurnLeft = 0;                    //   turn counter-clockwise
    std::uint8_t bTurnRight = 0;                   //   turn clockwise
    std::uint8_t bFirePressed = 0;                 //   fire pressed in this frame only
    std::uint8_t bFireHeld = 0;                    //   fire held
    Weapon* weapon = nullptr;                      // the current weapon; owned, may be null

protected:
    void clearControls();
    // The other side's vehicle while it flies or fires; null otherwise (and outside a game).
    Vehicle* operationalOpponent() const;

private:
    void switchSteering();
    void keyControl();
    void pointerControl();
    float pointerReference() const;
};
