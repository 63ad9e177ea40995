#pragma once
// Test support for the vehicles, weapons and bombs: a headless engine with scripted input
// (MenuTestEngine), a file manager and a hand-driven clock, the application object with a
// running game as its current game, and every texture, skin and sound the cannon, the
// weapons, their projectiles and the effects look up (blank pictures, silent sounds).
#include <vector>

#include "engine/FileManager.h"
#include "engine/Random.h"
#include "engine/TimeKeeper.h"
#include "game/GameController.h"
#include "game/PlayerData.h"
#include "inputaudio/Sound.h"
#include "render/Camera.h"
#include "support/EffectTextures.h"
#include "support/FakeClock.h"
#include "support/MenuTestEngine.h"
#include "ui/ContextBlender.h"

class ArmedGame : public MenuTestEngine {
public:
    ArmedGame() {
        Random::seed(4321);
        input().setInputMode(QorInput::kModeMouse);
        qor->pFileManager = new FileManager(0, 0);
        qor->pTimeKeeper = new TimeKeeper(clock);
        textures.addEffectTextures();
        for (const char16_t* name : {u"projectiles", u"laser", u"lightning"}) textures.add(name, 12);
        for (const char16_t* name : {u"cannon:0", u"cannon:1", u"cannon:2", u"ovalButtons:2", u"ovalButtons:3"})
            addSkin(name, 32, 32);
        for (const char16_t* name :
             {u"cannonFire", u"bulletFire", u"bubbles", u"bubbleBurst", u"missileLaunch", u"smallSplash",
              u"explosionShort", u"laserFire", u"laserHit", u"lightningFire", u"lightningHit"}) {
            sounds.push_back(new Sound(0, 3, name));
            qor->pResourceManager->addResource(sounds.back(), name);
        }
        makeGlobal();
        game = new GameController();
        static_cast<GameGlobal*>(global)->pCurrentGame = game;
        game->pScene->pCamera->position.z = -400.0f;  // half the virtual width: the default zoom
    }
    ~ArmedGame() {
        static_cast<GameGlobal*>(global)->pCurrentGame = nullptr;
        game->destroy();
        for (Sound* s : sounds) s->destroy();
        delete qor->pTimeKeeper;
        qor->pTimeKeeper = nullptr;
        delete qor->pFileManager;
        qor->pFileManager = nullptr;
    }

    QorBase& list(int index) { return *game->layer(index); }
    PlayerData& player(int side) { return *game->getPlayerData(side); }
    static int count(const QorBase& node) {
        int n = 0;
        for (const BasicLink* c = node.firstChild; c; c = c->next) ++n;
        return n;
    }
    // Appends `entity` to entity list `index`, which owns it from then on.
    template <class T>
    T* place(int index, T* entity) {
        list(index).addChild(entity);
        return entity;
    }
    // One frame of `seconds`: the input is polled, then `object` is ticked inside the
    // scene at the scene's clock, as the scene's own tick would.
    void frameTick(QorBase& object, double seconds = 1.0 / 64.0) {
        step();
        clock.advance(seconds);
        ContextBlender& scene = *game->pScene;
        scene.dt = seconds;
        scene.localTime += seconds;
        Context* previous = qor->pCurrentContext;
        qor->pCurrentContext = &scene;
        object.tick(scene.localTime, seconds);
        qor->pCurrentContext = previous;
    }
    // Holds (or releases) the keyboard key `code` from the next poll on.
    void holdKey(int code, bool down = true) { scripted->keys[code] = down ? 0x80 : 0; }

    FakeClock clock;
    EffectTextures textures;
    std::vector<Sound*> sounds;
    GameController* game = nullptr;
    ScriptedDevices* scripted = &scriptInput();
};
