#pragma once
// Test support for the vehicles, weapons and bombs: the effects' world (a running game
// with the textures and sounds its projectiles and effects look up) plus the cannon's
// skins, the label skins and the weapons' own sounds, with the mouse as input mode and
// the scene's camera at the default zoom. Objects are ticked inside the scene with the
// input polled first, as a frame of the game would.
#include <utility>

#include "engine/Format.h"
#include "render/Camera.h"
#include "support/GameFxWorld.h"

class ArmedGame : public GameFxWorld {
protected:
    ArmedGame() {
        engine.input().setInputMode(QorInput::kModeMouse);
        for (const char16_t* name : {u"cannon:0", u"cannon:1", u"cannon:2", u"ovalButtons:2", u"ovalButtons:3"})
            engine.addSkin(name, 32, 32);
        addSilentSounds({u"cannonFire", u"bulletFire", u"bubbles", u"missileLaunch"});
        game->pScene->pCamera->position.z = -400.0f;  // half the virtual width: the default zoom
    }

    // The planes' pictures: the two kinds, their markings and the propeller.
    void addPlaneTextures() {
        for (auto [name, skins] : {std::pair{u"biplane", 49},
                                   {u"biplane-markings", 49},
                                   {u"p35", 49},
                                   {u"p35-markings", 49},
                                   {u"propeller", 98}})
            engine.addTexture(name, skins);
    }
    // What a game with islands and bonus balloons looks up beyond the vehicles: the
    // balloons and their icons as "name:i" skins, the island's skins, the bonus sounds.
    void addIslandAndBonuses() {
        for (auto [name, skins] : {std::pair{u"balloons", 7}, {u"hud-bonusicons", 6}})
            for (int i = 0; i < skins; ++i) engine.addSkin(formatString(u"%s:%d", name, i), 32.0f, 48.0f);
        engine.addSkin(u"island:0", 128.0f, 64.0f);
        engine.addSkin(u"island:all", 256.0f, 64.0f);
        addSilentSounds({u"switchWeaponLower", u"bonusPickup+", u"bonusPickup-", u"balloonPop"});
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
