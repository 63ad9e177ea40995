#pragma once
// Test support for the vehicles, weapons and bombs: the effects' world (a running game
// with the textures and sounds its projectiles and effects look up) plus the cannon's
// skins, the label skins and the weapons' own sounds, with the mouse as input mode and
// the scene's camera at the default zoom. Objects are ticked inside the scene with the
// input polled first, as a frame of the game would.
#include "render/Camera.h"
#include "support/GameFxWorld.h"

class ArmedGame : public GameFxWorld {
protected:
    ArmedGame() {
        engine.input().setInputMode(QorInput::kModeMouse);
        for (const char16_t* name : {u"cannon:0", u"cannon:1", u"cannon:2", u"ovalButtons:2", u"ovalButtons:3"})
            engine.addSkin(name, 32, 32);
        for (const char16_t* name : {u"cannonFire", u"bulletFire", u"bubbles", u"missileLaunch"}) {
            sounds.push_back(new Sound(0, 2, u"silent.ogg"));
            qor->pResourceManager->addResource(sounds.back(), name);
        }
        game->pScene->pCamera->position.z = -400.0f;  // half the virtual width: the default zoom
    }

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
        engine.step();
        engine.clock.advance(seconds);
        game->pScene->dt = seconds;
        game->pScene->localTime += seconds;
        tickInScene(object, game->pScene->localTime, seconds);
    }
    // Holds (or releases) the keyboard key `code` from the next poll on.
    void holdKey(int code, bool down = true) { keyboard->keys[code] = down ? 0x80 : 0; }

    ScriptedDevices* keyboard = &engine.scriptInput();
};
