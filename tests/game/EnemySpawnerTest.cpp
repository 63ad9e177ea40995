// EnemySpawner and enemyEntryPoint: release times, the two-player count, queue order,
// what counts as released, and where enemies come in.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/Random.h"
#include "game/EnemyWorld.h"
#include "game/ParachuteCrate.h"

namespace {
class EnemySpawnerTest : public EnemyWorld {
protected:
    // A spawner of crates (which draw once each) under a node of the scene, as the
    // Invasion keeps them.
    EnemySpawner& spawn(int count, int group, bool evenly, double t0, double t1, int type = EnemySpawner::kCrate) {
        if (!spawnerRoot) {
            spawnerRoot = new QorBase();
            game->pScene->addChildFirst(spawnerRoot);
        }
        auto* spawner = new EnemySpawner(type, count, group, evenly, 0.25f, 0u, t0, t1);
        spawnerRoot->addChild(spawner);
        return *spawner;
    }
    static std::vector<float> times(const EnemySpawner& s) {
        std::vector<float> t;
        for (BasicLink* e = s.queue.firstChild; e; e = e->next) t.push_back(static_cast<Enemy*>(e)->spawnTime);
        return t;
    }
    void tickSpawners(double dt) { tickInScene(*spawnerRoot, 0.0, dt); }

    QorBase* spawnerRoot = nullptr;
};

struct SlotCase {
    int count, sides, slots;
};
class SlotCount : public EnemySpawnerTest, public ::testing::WithParamInterface<SlotCase> {};
}  // namespace

TEST_P(SlotCount, TwoDefendingSidesRaiseTheCountByHalfButNeverALoneEnemyOrTheGroupSize) {
    const SlotCase c = GetParam();
    game->playerSides = c.sides;
    const EnemySpawner& s = spawn(c.count, 2, true, 0.0, 10.0);
    EXPECT_EQ(s.queued(), c.slots * 2);
}

INSTANTIATE_TEST_SUITE_P(Counts, SlotCount,
                         ::testing::Values(SlotCase{1, 2, 1}, SlotCase{2, 2, 3}, SlotCase{3, 2, 4}, SlotCase{5, 2, 7},
                                           SlotCase{30, 2, 45}, SlotCase{30, 1, 30}, SlotCase{0, 2, 0},
                                           SlotCase{-3, 2, 0}));

TEST_F(EnemySpawnerTest, EvenSlotsSpanTheWindowAfterTheLeadAndRandomOnesDrawOncePerSlot) {
    EXPECT_EQ(times(spawn(5, 1, true, 2.0, 10.0)), (std::vector<float>{5.0f, 7.0f, 9.0f, 11.0f, 13.0f}));
    // One slot is never "even": it draws its time, between the crate's own draws.
    Random::seed(7);
    const std::vector<float> single = times(spawn(1, 1, true, 2.0, 10.0));
    Random::seed(7);
    const float f = Random::fraction();
    EXPECT_FLOAT_EQ(single[0], 2.0f + f * 8.0f + 3.0f);
    Random::seed(7);
    const std::vector<float> random = times(spawn(3, 1, false, 0.0, 4.0));
    Random::seed(7);
    std::vector<float> expected;
    for (int i = 0; i < 3; ++i) {
        expected.push_back(Random::fraction() * 4.0f + 3.0f);
        Random::next();  // the crate's roll
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(random, expected);
}

TEST_F(EnemySpawnerTest, EqualTimesReleaseTheLastQueuedFirstAllInOneUpdate) {
    EnemySpawner& s = spawn(0, 0, true, 0.0, 0.0);
    std::vector<Enemy*> made;
    for (float t : {4.0f, 4.0f, 2.0f, 4.0f}) {
        made.push_back(new ParachuteCrate(0));
        made.back()->spawnTime = t;
        s.enqueue(made.back());
    }
    EXPECT_EQ(s.firstQueued(), made[2]);
    tickSpawners(3.5);
    EXPECT_EQ(countOf(GameController::kEnemyList), 1);
    tickSpawners(0.5);
    QorBase& enemies = list(GameController::kEnemyList);
    ASSERT_EQ(countOf(GameController::kEnemyList), 4);
    const BasicLink* e = enemies.firstChild->next;
    for (int i : {3, 1, 0}) {
        EXPECT_EQ(e, made[static_cast<std::size_t>(i)]);
        e = e->next;
    }
    EXPECT_EQ(spawnerRoot->firstChild, nullptr);  // its queue empty, it went
}

TEST_F(EnemySpawnerTest, OnlyReleasedEnemiesCountAndEveryReleaseIsEnteredAtOnce) {
    spawn(2, 1, true, 0.0, 10.0);  // 3.0 s and 13.0 s
    EXPECT_EQ(game->targetsReleased, 1);
    tickSpawners(2.0);
    EXPECT_EQ(game->targetsReleased, 1);
    tickSpawners(1.0);
    EXPECT_EQ(game->targetsReleased, 1 + ParachuteCrate::kScoreValue);
    auto* released = static_cast<Enemy*>(list(GameController::kEnemyList).firstChild);
    EXPECT_GT(released->position.y, 240.0f);  // entered: above the view
    // Ended early (as by the zeppelin's blast), the spawner never counts what it held.
    EnemySpawner::destroyAll(*game);
    EXPECT_EQ(spawnerRoot->firstChild, nullptr);
    EXPECT_EQ(game->targetsReleased, 1 + ParachuteCrate::kScoreValue);
}

TEST_F(EnemySpawnerTest, AnEmptySpawnerRemovesItselfAndAnUnknownTypeStopsTheProgram) {
    spawn(3, 0, false, 0.0, 1.0);
    tickSpawners(0.01);
    EXPECT_EQ(spawnerRoot->firstChild, nullptr);
    EXPECT_DEATH(EnemySpawner::instantiateEnemy(13), "Tried to spawn unknown enemy type.");
    EXPECT_DEATH(EnemySpawner::instantiateEnemy(-1), "Tried to spawn unknown enemy type.");
}

TEST_F(EnemySpawnerTest, EveryTypeIsMadeAsItsClassAndAllButCratesAreHostile) {
    for (int type = 0; type < EnemySpawner::kTypeCount; ++type) {
        Enemy* enemy = EnemySpawner::instantiateEnemy(type);
        EXPECT_EQ(enemy->isHostile(), type != EnemySpawner::kCrate) << type;
        EXPECT_EQ(enemy->side, -1);
        enemy->destroy();
    }
}

// Entry points, with the camera at its default distance: view x -400..400, y -240..240,
// a 16 x 16 skin.
TEST_F(EnemySpawnerTest, EntryPointsLieJustOutsideTheViewOrOnTheWater) {
    Enemy& e = *new ParachuteCrate(0);
    list(GameController::kEnemyList).addChild(&e);
    for (int i = 0; i < 20; ++i) {
        const Vector3 left = enemyEntryPoint(e, Enemy::kEntryLeft);
        EXPECT_EQ(left.x, -416.0f);
        EXPECT_TRUE(left.y >= 39.0f && left.y < 208.0f) << left.y;  // 64 above the water, 32 below the top
        EXPECT_EQ(enemyEntryPoint(e, Enemy::kEntryRight).x, 416.0f);
        EXPECT_EQ(enemyEntryPoint(e, Enemy::kEntryTop).y, 256.0f);
        EXPECT_EQ(enemyEntryPoint(e, Enemy::kEntryWaterLine).y, GameEntity::kWaterLine);
    }
    const std::uint32_t before = Random::state();
    const Vector3 none = enemyEntryPoint(e, 6);
    EXPECT_TRUE(none.x == 0.0f && none.y == 0.0f && Random::state() == before);
}

TEST_F(EnemySpawnerTest, ACameraLookingOffToOneSideBringsSideAndAroundEntriesFromThatSideOnly) {
    Enemy& e = *new ParachuteCrate(0);
    list(GameController::kEnemyList).addChild(&e);
    Camera& camera = *game->pScene->pCamera;
    for (float cx : {15.9f, 16.0f, -16.0f}) {
        camera.position.x = cx;
        bool leftSeen = false, rightSeen = false;
        for (int i = 0; i < 200; ++i) {
            for (int mode : {Enemy::kEntrySide, Enemy::kEntryAround}) {
                const Vector3 p = enemyEntryPoint(e, mode);
                leftSeen |= p.x < cx - 400.0f;
                rightSeen |= p.x > cx + 400.0f;
            }
        }
        EXPECT_EQ(leftSeen, cx < 16.0f) << cx;
        EXPECT_EQ(rightSeen, cx > -16.0f) << cx;
    }
}

namespace {
// FNV-1a over the bytes of a value.
template <class T>
std::uint64_t mix(std::uint64_t h, const T& value) {
    unsigned char bytes[sizeof value];
    std::memcpy(bytes, &value, sizeof value);
    for (unsigned char b : bytes) h = (h ^ b) * 1099511628211ull;
    return h;
}
}  // namespace

TEST_F(EnemySpawnerTest, AWaveOfEveryTypeReachesTheSameStateFromTheSameSeed) {
    plantPalms(3);
    game->bLimitBombRange = 0;
    std::uint64_t hashes[2] = {};
    for (std::uint64_t& hash : hashes) {
        for (int index : {GameController::kEnemyList, GameController::kEnemyBombList, GameController::kEffectList,
                          GameController::kSmokeList})
            list(index).deleteChildren();
        game->targetsReleased = 1;
        Random::seed(2024);
        for (int type = 0; type < EnemySpawner::kTypeCount; ++type) spawn(2, 2, false, 0.0, 2.0, type);
        hash = 14695981039346656037ull;
        for (int frame = 0; frame < 64 * 12; ++frame) {
            time += 1.0 / 64.0;
            for (QorBase* node :
                 {spawnerRoot, &list(GameController::kEnemyList), &list(GameController::kEnemyBombList)})
                tickInScene(*node, time, 1.0 / 64.0);
        }
        for (int index : {GameController::kEnemyList, GameController::kEnemyBombList})
            for (BasicLink* c = list(index).firstChild; c; c = c->next) {
                const auto* e = static_cast<const GameEntity*>(c);
                for (float v : {e->position.x, e->position.y, e->velocity.x, e->velocity.y, e->health})
                    hash = mix(hash, v);
            }
        hash = mix(hash, Random::state());
        EXPECT_EQ(spawnerRoot->firstChild, nullptr);  // every group released
        EXPECT_GT(game->targetsReleased, 10000);
    }
    EXPECT_EQ(hashes[0], hashes[1]);
}
