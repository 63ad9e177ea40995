#pragma once
// Test support for the vehicles, weapons and bombs: the game test engine with a running
// game, a file manager, and every texture, skin and sound that the cannon, the weapons,
// their projectiles and the effects look up (blank pictures, silent sounds). Objects are
// ticked inside the game's scene, as the scene's own tick would.
#include <vector>

#include "engine/FileManager.h"
#include "inputaudio/Sound.h"
#include "render/Camera.h"
#include "support/GameTestEngine.h"

class ArmedGame : public GameTestEngine {
public:
    ArmedGame() {
        input().setInputMode(QorInput::kModeMouse);
        qor->pFileManager = new FileManager(0, 0);
        for (auto [name, skins] : {std::pair{u"explosion", 16},
                                   {u"smoke", 16},
                                   {u"splash", 8},
                                   {u"circularSplash", 8},
                                   {u"flare", 1},
                                   {u"projectiles", 12},
                                   {u"laser", 1},
                                   {u"lightning", 1}})
            addTexture(name, skins);
        for (const char16_t* name : {u"cannon:0", u"cannon:1", u"cannon:2", u"ovalButtons:2", u"ovalButtons:3"})
            addSkin(name, 32, 32);
        for (const char16_t* name :
             {u"cannonFire", u"bulletFire", u"bubbles", u"bubbleBurst", u"missileLaunch", u"smallSplash",
              u"explosionShort", u"laserFire", u"laserHit", u"lightningFire", u"lightningHit"}) {
            sounds.push_back(new Sound(0, 3, name));
            qor->pResourceManager->addResource(sounds.back(), name);
        }
        game = &startGame();
        game->pScene->pCamera->position.z = -400.0f;  // half the virtual width: the default zoom
    }
    ~ArmedGame() {
        endGame();
        for (Sound* s : sounds) s->destroy();
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
    // scene at the scene's clock.
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

    std::vector<Sound*> sounds;
    GameController* game = nullptr;
    ScriptedDevices* scripted = &scriptInput();
};
