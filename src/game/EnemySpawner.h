#pragma once
// One enemy group of an Invasion wave: it builds every enemy of the group at once, each
// with its release time, keeps them in a queue ordered by that time, and on every tick
// moves those that are due into the game's enemy list, enters them and counts their
// points as released (GameController::targetsReleased). With its queue empty it flags
// itself for deletion; the Invasion's wave ends when no spawner is left and no hostile
// enemy remains.
//
// Times are seconds of the spawner's own clock, which starts at 0 when it is made and
// advances by the frame time of its tick (the scene's). Every release time lies
// kLeadTime after the window the wave asked for.
//
// Lifetime: created by the Invasion's wave set-up as a child of its spawner node (a node
// inside the game's scene), which owns it. It owns the enemies still queued: deleting a
// spawner deletes them, and they are never counted as released. Needs a current game
// (GameGlobal::pCurrentGame) when it is made (for the number of sides) and when it
// releases. Main thread only.
#include <cstdint>

#include "engine/QorBase.h"

class Enemy;
class GameController;

class EnemySpawner : public QorBase {
public:
    static constexpr double kLeadTime = 3.0;  // s before the first possible release
    static constexpr std::int32_t kTypeCount = 13;

    // The enemy types (instantiateEnemy).
    enum Type : std::int32_t {
        kBiplane = 0,
        kP35 = 1,
        kPropelledBomb = 2,
        kTorpedo = 3,
        kHeavyTorpedo = 4,
        kHotAirBalloon = 5,
        kHotAirBalloonArmed = 6,
        kAtomBomb = 7,
        kCrate = 8,
        kKamikaze = 9,
        kBomber = 10,
        kZeppelin = 11,
        kBallistic = 12,
    };

    // `count` release times (x 1.5, truncated, when two sides play and count > 1) in the
    // window [startTime, endTime] + kLeadTime: evenly spaced when `evenly` is set and
    // there are at least two, else each at a random point of the window (one draw each,
    // in order). At each time `groupSize` enemies of `type`, with `level` and `tint`.
    // A count or group size of 0 or less builds nothing.
    EnemySpawner(std::int32_t type, std::int32_t count, std::int32_t groupSize, bool evenly, float level,
                 std::uint32_t tint, double startTime, double endTime);
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    void tick(double time, double dt) override { update(time, dt); }
    // Advances the clock and releases every enemy that is due, first in the queue first.
    virtual void update(double time, double dt);

    // A new enemy of `type` (a Type), in no tree yet; the caller owns it. Any other type
    // is fatal: "Tried to spawn unknown enemy type.".
    static Enemy* instantiateEnemy(std::int32_t type);
    // Queues `enemy` (owned from now on) by its spawnTime: behind the last queued enemy
    // due strictly earlier, so that of equal times the one queued last goes first.
    void enqueue(Enemy* enemy);
    // Deletes every spawner in the tree of `game` at once, with the enemies they still
    // hold (the zeppelin's final explosion ends the wave's remaining groups).
    static void destroyAll(GameController& game);

    // Enemies still waiting, in release order.
    int queued() const { return queue.countChildren(); }
    Enemy* firstQueued() const;

    double clock = 0.0;  // s since the spawner was made
    QorBase queue;       // the enemies not yet released, in order of spawnTime; owns them
};
