#include "game/EnemySpawner.h"

#include <vector>

#include "engine/ChildIterator.h"
#include "engine/ClassInfo.h"
#include "engine/ErrorManager.h"
#include "engine/Random.h"
#include "game/AtomBomb.h"
#include "game/Ballistic.h"
#include "game/Bomber.h"
#include "game/Enemy.h"
#include "game/EnemyBiplane.h"
#include "game/EnemyP35.h"
#include "game/GameController.h"
#include "game/GameFx.h"
#include "game/HotAirBalloon.h"
#include "game/HotAirBalloonArmed.h"
#include "game/Kamikaze.h"
#include "game/ParachuteCrate.h"
#include "game/PropelledBomb.h"
#include "game/Torpedo.h"
#include "game/Zeppelin.h"

// No factory: a spawner is made only with a wave's arguments.
QOR_DEFINE_CLASS(EnemySpawner, QorBase, nullptr)

namespace {
// Release times of a group: count as asked, or half as many again when two sides defend.
std::int32_t slotCount(std::int32_t count) {
    const GameController* game = GameFx::currentGame();
    if (game && game->playerSides >= 2 && count > 1) return static_cast<std::int32_t>(static_cast<float>(count) * 1.5f);
    return count;
}
}  // namespace

EnemySpawner::EnemySpawner(std::int32_t type, std::int32_t count, std::int32_t groupSize, bool evenly, float level,
                           std::uint32_t tint, double startTime, double endTime) {
    const std::int32_t n = slotCount(count);
    const auto a = static_cast<float>(startTime);
    const auto b = static_cast<float>(endTime);
    for (std::int32_t i = 0; i < n; ++i) {
        // The enemies made for one slot draw from the shared generator before the next
        // slot's time is drawn: the order every seeded game relies on.
        const float f = evenly && n >= 2 ? static_cast<float>(i) / static_cast<float>(n - 1) : Random::fraction();
        const float t = a + f * (b - a);
        const auto due = static_cast<float>(t + kLeadTime);
        for (std::int32_t k = 0; k < groupSize; ++k) {
            Enemy* enemy = instantiateEnemy(type);
            enemy->spawnTime = due;
            enemy->level = level;
            enemy->tint = tint;
            enqueue(enemy);
        }
    }
}

ClassInfo* EnemySpawner::getClass() const { return &classInfo; }

Enemy* EnemySpawner::instantiateEnemy(std::int32_t type) {
    switch (type) {
        case kBiplane:
            return new EnemyBiplane();
        case kP35:
            return new EnemyP35();
        case kPropelledBomb:
            return new PropelledBomb();
        case kTorpedo:
            return new Torpedo(false);
        case kHeavyTorpedo:
            return new Torpedo(true);
        case kHotAirBalloon:
            return new HotAirBalloon();
        case kHotAirBalloonArmed:
            return new HotAirBalloonArmed();
        case kAtomBomb:
            return new AtomBomb();
        case kCrate:
            return new ParachuteCrate(0);
        case kKamikaze:
            return new Kamikaze();
        case kBomber:
            return new Bomber();
        case kZeppelin:
            return new Zeppelin();
        case kBallistic:
            return new Ballistic();
        default:
            QOR_FATAL("EnemySpawner::instantiateEnemy", u"Tried to spawn unknown enemy type.");
    }
}

void EnemySpawner::enqueue(Enemy* enemy) {
    for (BasicLink* l = queue.lastChild; l; l = l->prev) {
        if (l->pendingDelete) continue;
        if (static_cast<Enemy*>(l)->spawnTime < enemy->spawnTime) {
            queue.insertChildAfter(enemy, l);
            return;
        }
    }
    queue.addChildFirst(enemy);
}

Enemy* EnemySpawner::firstQueued() const {
    for (BasicLink* l = queue.firstChild; l; l = l->next)
        if (!l->pendingDelete) return static_cast<Enemy*>(l);
    return nullptr;
}

void EnemySpawner::update(double, double dt) {
    clock += dt;
    GameController* game = GameFx::currentGame();
    QorBase* enemies = game ? game->layer(GameController::kEnemyList) : nullptr;
    if (enemies) {
        while (Enemy* enemy = firstQueued()) {
            if (clock < static_cast<double>(enemy->spawnTime)) break;
            queue.removeChild(enemy);
            enemies->addChild(enemy);
            enemy->enter();
            game->targetsReleased += enemy->scoreValue;
        }
    }
    if (!firstQueued()) pendingDelete = 1;
}

namespace {
void collectSpawners(BasicLink& node, std::vector<EnemySpawner*>& found) {
    for (BasicLink* l = node.firstChild; l; l = l->next) {
        if (auto* spawner = dynamic_cast<EnemySpawner*>(l))
            found.push_back(spawner);
        else
            collectSpawners(*l, found);
    }
}
}  // namespace

void EnemySpawner::destroyAll(GameController& game) {
    // Gathered first: no list is changed while it is walked.
    std::vector<EnemySpawner*> found;
    collectSpawners(game, found);
    for (EnemySpawner* spawner : found) spawner->destroy();
}
