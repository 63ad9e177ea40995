#pragma once
// What a vehicle fires. A weapon decides when a shot may leave (the fire control, the
// repeat interval, the blaster energy), charges the energy and makes the projectiles,
// which then live on their own in one of the game controller's entity lists.
//
// The weapon works on its side's vehicle in the current game (PlayerData::pVehicle):
// that vehicle's control flags say whether fire is pressed or held, and its energy pays
// for the shots. Automatic weapons fire while fire is held, the others once per press.
//
// Types (saved with the player, made by createFromType): 0 cannon ball (an autocannon
// under the Autocannons mutator), 1 autocannon, 2 bubble gun, 3 laser, 4 lightning,
// 5 rocket. The cannon and gun built by their own constructors (the Duel's) carry
// type 6 and 1 and other costs.
//
// Units: seconds of the game scene's clock, energy as a fraction of a full bar, radians,
// units per second.
//
// Lifetime: owned by its vehicle (Vehicle::weapon), never placed in the object tree;
// `layer` belongs to the game controller, which outlives every weapon of its vehicles.
// Main thread only.
#include <cstdint>
#include <string>

#include "engine/QorBase.h"

class Vehicle;

class Weapon : public QorBase {
public:
    static constexpr int kTypeCount = 6;        // types 0 .. 5 can be made by number
    static constexpr double kBulletTime = 2.0;  // s of engine time a shot slows the world under Matrix fight

    explicit Weapon(std::int32_t side);

    // A new weapon of `type` (0 .. 5) for `side`, see the header comment; the caller owns
    // it. Any other type is a program error and fatal.
    static Weapon* createFromType(std::int32_t type, std::int32_t side);
    // Whether createFromType makes a weapon of `type`: callers that take the type from
    // outside (a saved game) check it first.
    static bool isKnownType(std::int32_t type);

    // Makes the shot at (x, y, z) along `angle` (radians) with the vehicle's power as
    // `speed`. The base does the bookkeeping every shot shares: pays the cost, sets when
    // the next shot may leave and starts the Matrix-fight bullet time.
    virtual void fire(float x, float y, float z, float angle, float speed);
    // Whether a shot may leave now: the right fire flag of the vehicle is set, the next
    // ready time has come, and there is energy for the cost (else bOutOfEnergy is set).
    // `time` is the scene clock of the vehicle's tick.
    virtual bool canFire(double time, double dt);

    // The side's vehicle in the current game, or null.
    Vehicle* vehicle() const;

    std::int32_t side;              // the owning side
    std::u16string name;            // display name in the current language
    double interval = 0.01;         // s between shots
    double nextReadyTime = 0.0;     // scene time from which the next shot may leave
    float cost = 0.0f;              // energy per shot (lightning: per second of firing)
    std::uint8_t bAutomatic = 0;    // fires while held; otherwise on each new press
    std::uint8_t bOutOfEnergy = 0;  // a shot was refused for want of energy; stays set
    QorBase* layer = nullptr;       // the entity list that receives the projectiles; not owned
    std::int32_t type = 0;          // the number saved with the player

protected:
    // The values every weapon class sets in its constructor: type, name (a string id),
    // interval, automatic flag, cost and entity list (GameController::Layer).
    void configure(std::int32_t type, int nameId, double interval, bool automatic, float cost, int layerIndex);
    // The current scene time: the clock of the context being ticked.
    static double sceneTime();
    // Appends a new projectile to `layer`, which then owns it; without a list (no game)
    // the projectile is deleted at once.
    void launch(QorBase* projectile);
};
