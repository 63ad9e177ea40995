#pragma once
// The base of every game object that moves, collides, takes and deals damage or earns
// points: palms, bonus balloons, enemies, the players' vehicles, projectiles and bombs.
// It adds an owner side, health, contact damage, a point value, a heading and a simple
// motion step to a Renderable.
//
// Sides: 0 and 1 are the players (each owns a PlayerData in the current game, whose
// vehicle carries the attack and defence factors); a negative side belongs to nobody
// (enemies): such an entity neither scales damage nor scores.
//
// Units: virtual screen units (800 x 480 at the default camera distance, y up), seconds,
// radians counter-clockwise from +x. The water line is at kWaterLine.
//
// Lifetime: lives as a child of one of the game controller's entity lists, which owns
// it. It dies by its pending-delete flag (destroy(source), leaving the view outward, or
// a subclass); the list's next traversal deletes it.
#include <cstdint>

#include "engine/Vector3.h"
#include "render/Renderable.h"

class GameController;
class PlayerData;

class GameEntity : public Renderable {
public:
    static constexpr float kWaterLine = -25.0f;  // y of the sea surface

    explicit GameEntity(std::int32_t side);

    // The motion step (integrate) and nothing else: a plain entity runs no state machine
    // and ticks no children. Subclasses that need those call them themselves.
    void tick(double time, double dt) override;

    // Damage taken from `source` (may be null): amount scaled by the owner side's
    // vehicle defence (every side's, with bSharedDefence), capped at the health left;
    // onHit always (also with 0), destroy when this hit took the last health. Returns
    // the damage taken; 0 at once for an amount of 0.
    virtual float takeDamage(GameEntity* source, float amount);
    // Damage dealt to `target`: amount x 1.01 x the own side's vehicle attack, handed to
    // the target's takeDamage, then scored. Returns the damage taken by the target.
    virtual float dealDamage(GameEntity* target, float amount);
    // Ends the entity (killed by `source`, may be null): flags it for deletion.
    // Subclasses add their sound, debris and bookkeeping.
    virtual void destroy(GameEntity* source);
    using Renderable::destroy;  // the immediate deletion of the object model stays reachable
    virtual void onHit(GameEntity* source, float taken);
    // Scores `amount` of damage done to `target`: the same fraction of its scoreValue
    // as of its maxHealth, rounded to the nearest point, for the own side.
    virtual void addScore(GameEntity* target, float amount);
    // Deals contactDamage to `other`; the collision pass calls it on both partners.
    virtual void onCollision(GameEntity* other);
    // The entity came down through the water line in the last motion step.
    virtual void onWaterContact();
    // The motion step of `dt` seconds: velocity, position, orientation, the water line
    // and the removal of invisible entities that leave the view outward.
    virtual void integrate(double dt);

    // Seconds until the entity, under its constant acceleration, comes down through
    // height h: the later root. 0 when it never gets there (or has no vertical
    // acceleration), so that an aim based on it takes the entity where it is now.
    float timeToHeight(float h) const;
    // The nearest object of `layer` that the ray along this entity's heading passes
    // within its collision radius, if nearer than `bestDistanceSquared` (squared world
    // units); updates both and returns true when it found one.
    bool findRayHit(QorBase* layer, Renderable*& nearest, float& bestDistanceSquared) const;

    std::int32_t side;                       // owning side; negative = nobody
    std::int32_t scoreValue = 0;             // points for taking all of maxHealth
    float heading = 0.0f;                    // radians, counter-clockwise from +x
    float health = 0.001f;                   // health left
    float maxHealth = 0.001f;                // full health; divisor of the points
    float contactDamage = 1.0f;              // dealt to whatever it collides with
    Vector3 velocity{0.0f, 0.0f, 0.0f};      // units per second
    Vector3 acceleration{0.0f, 0.0f, 0.0f};  // units per second squared
    std::uint8_t bOrientAlongVelocity = 0;   // heading and roll follow the velocity
    std::uint8_t bRemoveOffscreen = 1;       // deleted once invisible and moving away
    std::uint8_t bSharedDefence = 0;         // every side's vehicle defence applies

protected:
    // The current game's data of this entity's side; null for no side or no game.
    PlayerData* ownPlayer() const;
    bool leavesView() const;
};

// The signed shortest turn from angle `from` to angle `to`, radians in [-pi, pi]: both
// are first brought into [0, 2 pi); a turn of exactly pi is -pi when `to` lies ahead and
// +pi when it lies behind.
float wrapAngle(float from, float to);
// The sign of wrapAngle(from, to): +1, -1, or 0 for equal angles.
std::int32_t wrapAngleSign(float from, float to);
