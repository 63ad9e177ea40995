#pragma once
// Test support for the Duel's vehicles: the armed game's world (a running game with the
// textures and sounds of projectiles, effects and weapons) plus the planes' pictures
// and sounds, two player sides with islands at x -500 and +500, a controller that
// records the planes that went down, and helpers to put a vehicle into its list as the
// side's vehicle and fly it frame by frame inside the scene (whose camera shows x
// -400..400, y -240..240 at depth 0).
#include <utility>
#include <vector>

#include "game/ArmedGame.h"
#include "game/Palm.h"
#include "game/PlayerData.h"
#include "game/Vehicle.h"

class DuelRecordingController : public GameController {
public:
    void onVehicleDestroyed(std::int32_t side) override { downed.push_back(side); }
    std::vector<std::int32_t> downed;
};

class DuelWorld : public ArmedGame {
protected:
    DuelWorld() {
        for (auto [name, skins] : {std::pair{u"biplane", 49},
                                   {u"biplane-markings", 49},
                                   {u"p35", 49},
                                   {u"p35-markings", 49},
                                   {u"propeller", 98}})
            engine.addTexture(name, skins);
        for (const char16_t* name :
             {u"engine", u"engineSpinning", u"planeHit", u"largeSplash", u"bombWhistle", u"treeBurn", u"nyuck"}) {
            sounds.push_back(new Sound(0, 2, u"silent.ogg"));
            qor->pResourceManager->addResource(sounds.back(), name);
        }
        recorder = &engine.startGame<DuelRecordingController>();
        game = recorder;
        game->pScene->pCamera->position.z = -400.0f;  // half the virtual width: the default zoom
        game->computerPlayers = 1;
        for (int s = 0; s < 2; ++s) {
            auto* island = new Renderable();
            island->setPosition(s == 0 ? -500.0f : 500.0f, 0.0f, 0.0f);
            list(GameController::kIslandList).addChild(island);
            player(s).pIsland = island;
            player(s).bPointerControl = 0;
        }
        player(0).bHuman = 1;
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
    // Runs `f` with the scene as the current context.
    template <class F>
    void inScene(F&& f) {
        Context* previous = qor->pCurrentContext;
        qor->pCurrentContext = game->pScene;
        f();
        qor->pCurrentContext = previous;
    }

    DuelRecordingController* recorder = nullptr;
};
