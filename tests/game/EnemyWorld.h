#pragma once
// Test support for the enemies: the armed game's world (a running game with the
// textures and sounds of projectiles, effects and weapons) plus the enemies' pictures
// and sounds, one player side, side 0's island at (-200, 0) with palms, and helpers to
// release an enemy into the enemy list and run it frame by frame inside the scene (whose
// camera shows x -400..400, y -240..240 at depth 0).
#include <utility>

#include "game/ArmedGame.h"
#include "game/Enemy.h"
#include "game/EnemySpawner.h"
#include "game/Palm.h"

class EnemyWorld : public ArmedGame {
protected:
    static constexpr float kIslandX = -200.0f;

    EnemyWorld() {
        addPlaneTextures();
        for (auto [name, skins] : {std::pair{u"propelledBomb", 24},
                                   {u"torpedo", 2},
                                   {u"hotAirBalloon", 19},
                                   {u"atomBomb", 1},
                                   {u"crate", 6},
                                   {u"parachute", 1},
                                   {u"kamikaze", 3},
                                   {u"bomber", 3},
                                   {u"ballistic", 9}})
            engine.addTexture(name, skins);
        addSilentSounds({u"biplaneEntry", u"bombWhistleShort", u"propelledBombEntry", u"waterExit", u"deflate",
                         u"crateBreak", u"kamikazeEntry", u"largeSplash", u"bomberEngine", u"bomberDropBomb",
                         u"ballisticEntry", u"explosionLong", u"treeBurn", u"nyuck", u"switchWeapon"});
        game->playerSides = 1;
        island = new Renderable();
        island->setPosition(kIslandX, 0.0f, 0.0f);
        list(GameController::kIslandList).addChild(island);
        player(0).pIsland = island;
    }

    // `count` standing palms of side 0 on its island.
    void plantPalms(int count) { player(0).createPalms(count, 0); }
    Palm& palm(int i) { return *player(0).palms[i]; }

    // An enemy of `type` released as the spawner releases it: into the enemy list,
    // entered (inside the scene), with `level` and `tint`.
    template <class T = Enemy>
    T& release(int type, float level = 0.5f, std::uint32_t tint = 0) {
        Enemy* enemy = EnemySpawner::instantiateEnemy(type);
        enemy->level = level;
        enemy->tint = tint;
        list(GameController::kEnemyList).addChild(enemy);
        inScene([&] { enemy->enter(); });
        return *static_cast<T*>(enemy);
    }
    // `frames` frames of `dt` of the enemy list (and the lists the enemies drop into).
    void run(int frames, double dt = 1.0 / 64.0) {
        for (int i = 0; i < frames; ++i) {
            time += dt;
            for (int index : {GameController::kEnemyList, GameController::kEnemyBombList})
                tickInScene(list(index), time, dt);
        }
    }
    int countOf(int index) { return count(list(index)); }
    template <class T>
    int countIn(int index) {
        int n = 0;
        for (BasicLink* c = list(index).firstChild; c; c = c->next) n += dynamic_cast<T*>(c) != nullptr;
        return n;
    }

    Renderable* island = nullptr;
    double time = 0.0;
};
