#pragma once
// The base of every enemy of the Invasion: the aircraft, balloons, crates, bombs,
// missiles and the zeppelin (with its parts). To a GameEntity it adds the wave's level,
// whether it hurts the palms it touches, its release time, the group's tint argument,
// and the hostile flag that keeps a wave going, plus one operation: enter(), the start
// of its run, which places it, gives it its velocity and plays its entry sound.
//
// Every enemy belongs to no side (side -1): its hits earn nobody anything, and the side
// that destroys it earns its scoreValue (pro rata of the health taken).
//
// Lifetime: made by an EnemySpawner (or dropped by the zeppelin, or by the Invasion as a
// weapon crate), owned by the spawner's queue while it waits (not ticked or drawn
// there), then moved into the game's enemy list, which owns it, and entered once. It
// ends by its pending-delete flag: destroyed, drowned, or off the view (see GameEntity).
// An enemy whose position is no longer a finite number ends itself the same way, so a
// broken flight can never hold up the end of a wave.
#include <cstdint>

#include "engine/Vector3.h"
#include "game/GameEntity.h"

class Palm;

class Enemy : public GameEntity {
public:
    // Entry modes of enemyEntryPoint.
    enum EntryMode : int {
        kEntryLeft = 0,       // just left of the view, at a random height
        kEntryRight = 1,      // just right of the view, at a random height
        kEntrySide = 2,       // either side (the side the camera looks to, when it looks off)
        kEntryAround = 3,     // the sides or the top, by their lengths
        kEntryTop = 4,        // just above the view
        kEntryWaterLine = 5,  // on the water line, inside the view
    };

    Enemy();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // Starts the enemy's run; called once, right after it was put into the enemy list.
    // Nothing here: each type places itself.
    virtual void enter();
    // The motion step of GameEntity, then the end of an enemy whose position is lost.
    void integrate(double dt) override;

    // The hostile flag: the Invasion's wave goes on while an enemy with it is in the
    // enemy list. Set for every enemy but the crates.
    bool isHostile() const { return countsForWaveEnd != 0; }

    float level = 0.0f;                 // the wave's difficulty, wave / waves, in (0, 1]
    std::uint8_t hitsPalms = 0;         // the collision pass tests it against the palms
    float spawnTime = 0.0f;             // s of the spawner's clock at which it is released
    std::uint32_t tint = 0;             // the group's argument: colour, entry switch or variant
    std::uint8_t countsForWaveEnd = 1;  // the hostile flag (see isHostile)

protected:
    // A random standing palm of side 0 of the current game (the first palm when none
    // stands; null without a game or palms). Draws from the shared generator.
    static Palm* pickTarget();
    // Where the defending side's island stands (the origin without one).
    static Vector3 defendingIsland();
    // The x of the game's scene camera (0 without a game).
    static float sceneCameraX();
};

// Where `enemy` comes in for `mode` (an EntryMode), in the world plane z = 0, from the
// game's scene camera and the size of the enemy's skin. Draws from the shared generator
// as each mode says; any other mode gives the origin and draws nothing.
Vector3 enemyEntryPoint(const Enemy& enemy, int mode);
