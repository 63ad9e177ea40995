#pragma once
// Test support for the Duel's vehicles: the armed game's world plus the planes' pictures
// and sounds, a controller with the Duel's hits that records the planes that went down,
// two sides with islands, and helpers to enlist a vehicle as its side's and fly it
// frame by frame inside the scene (whose camera shows x -400..400, y -240..240).
#include <vector>

#include "game/ArmedGame.h"
#include "game/Palm.h"
#include "game/PlayerData.h"
#include "game/Vehicle.h"

class DuelRecordingController : public GameController {
public:
    void onVehicleDestroyed(std::int32_t side) override { downed.push_back(side); }
    // Bombs on standing palms, shells and bullets on operational planes, of the other side.
    void collide() override {
        pair(kBombList, kPalmList);
        pair(kCannonShellList, kPlaneList);
        pair(kBulletList, kPlaneList);
    }
    void pair(int a, int b) {
        for (BasicLink* i = layer(a)->firstChild; i; i = i->next)
            for (BasicLink* j = layer(b)->firstChild; j; j = j->next) {
                auto* x = dynamic_cast<GameEntity*>(static_cast<QorBase*>(i));
                auto* y = dynamic_cast<GameEntity*>(static_cast<QorBase*>(j));
                auto* v = dynamic_cast<Vehicle*>(y);
                auto* palm = dynamic_cast<Palm*>(y);
                if (!x || !y || x->pendingDelete || x->side == y->side) continue;
                if ((v && !v->isOperational()) || (palm && !palm->isStanding()) || !x->collide(y)) continue;
                x->onCollision(y);
                y->onCollision(x);
                break;
            }
    }
    std::vector<std::int32_t> downed;
};

class DuelWorld : public ArmedGame {
protected:
    DuelWorld() {
        addPlaneTextures();
        addSilentSounds(
            {u"engine", u"engineSpinning", u"planeHit", u"largeSplash", u"bombWhistle", u"treeBurn", u"nyuck"});
        newGame(500.0f);
        player(0).bHuman = 1;
    }

    // A new game as the current one, with the sides' islands at -x and +x.
    void newGame(float x) {
        game = recorder = &engine.startGame<DuelRecordingController>();
        game->pScene->pCamera->position.z = -400.0f;  // half the virtual width: the default zoom
        game->computerPlayers = 1;
        for (int s = 0; s < 2; ++s) {
            auto* island = new Renderable();
            island->setPosition(s == 0 ? -x : x, 0.0f, 0.0f);
            list(GameController::kIslandList).addChild(island);
            player(s).pIsland = island;
            player(s).bPointerControl = 0;
        }
    }

    // `vehicle` in entity list `index` as the side's vehicle, at (x, y).
    template <class T>
    T& enlist(int index, T* vehicle, float x, float y) {
        vehicle->setPosition(x, y, 0.0f);
        place(index, vehicle);
        player(vehicle->side).pVehicle = vehicle;
        return *vehicle;
    }
    // `frames` frames of 1/64 s of `vehicle`.
    void fly(QorBase& vehicle, int frames) {
        for (int i = 0; i < frames; ++i) frameTick(vehicle);
    }

    DuelRecordingController* recorder = nullptr;
};
