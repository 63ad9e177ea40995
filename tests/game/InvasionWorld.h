#pragma once
// Test support for the Invasion: the game's headless engine with every picture and sound
// the Invasion, its enemies and its effects look up (16 x 16 stand-ins of 24 skins each,
// registered as the loading screen does: the texture and "name:i" for its skins; silent
// sounds), the In-game help off, and a helper that starts a GameControllerCampaign as
// the current game with the rules of a test. The profile's Invasion block is the current
// profile's, as in the game.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/FileManager.h"
#include "engine/Format.h"
#include "engine/Qor.h"
#include "engine/ResourceManager.h"
#include "game/GameControllerCampaign.h"
#include "game/SavedGame.h"
#include "inputaudio/Sound.h"
#include "render/Texture.h"
#include "support/GameTestEngine.h"
#include "support/TempFolder.h"

class InvasionWorld : public ::testing::Test {
protected:
    static constexpr double kStep = 1.0 / 32.0;  // s

    InvasionWorld() {
        global->configuration.detail = 1;
        global->configuration.bInGameHelp = 0;
        qor->pFileManager = new FileManager(0, 0);
        qor->bEnableDelayedLoad = 1;  // sounds are only verified: there is no audio device
        for (const char16_t* name : {u"ovalButtons",   u"explosion",       u"smoke",
                                     u"propeller",     u"biplane",         u"biplane-markings",
                                     u"p35",           u"p35-markings",    u"cannon",
                                     u"projectiles",   u"splash",          u"circularSplash",
                                     u"propelledBomb", u"hotAirBalloon",   u"torpedo",
                                     u"kamikaze",      u"bomber",          u"atomBomb",
                                     u"hud-energybar", u"hud-bonusicons",  u"balloons",
                                     u"flare",         u"mouseArrow",      u"laser",
                                     u"lightning",     u"crate",           u"parachute",
                                     u"ballistic",     u"hud-touchscreen", u"island",
                                     u"zeppelin"})
            addPicture(name);
        engine.addSkin(u"island:all", 256.0f, 64.0f);
        engine.addSkin(u"zeppelin:all", 256.0f, 64.0f);
        const std::string file = folder.file("sound.ogg");
        std::fclose(std::fopen(file.c_str(), "wb"));
        for (const char16_t* name : {u"pop",
                                     u"engine",
                                     u"engineSpinning",
                                     u"bomberEngine",
                                     u"lightningFire",
                                     u"bombWhistle",
                                     u"bombWhistleShort",
                                     u"cannonFire",
                                     u"laserFire",
                                     u"laserHit",
                                     u"lightningHit",
                                     u"smallSplash",
                                     u"largeSplash",
                                     u"planeHit",
                                     u"bulletFire",
                                     u"treeBurn",
                                     u"explosionShort",
                                     u"explosionLong",
                                     u"balloonPop",
                                     u"bubbles",
                                     u"bubbleBurst",
                                     u"deflate",
                                     u"waterExit",
                                     u"missileLaunch",
                                     u"missileHit",
                                     u"kamikazeEntry",
                                     u"ballisticEntry",
                                     u"biplaneEntry",
                                     u"propelledBombEntry",
                                     u"bomberDropBomb",
                                     u"crateBreak",
                                     u"nyuck",
                                     u"bonusPickup+",
                                     u"bonusPickup-",
                                     u"switchWeapon",
                                     u"switchWeaponLower"}) {
            sounds.push_back(new Sound(0, 2, std::u16string(file.begin(), file.end())));
            qor->pResourceManager->addResource(sounds.back(), name);
        }
    }
    ~InvasionWorld() override {
        engine.endGame();
        for (Sound* s : sounds) s->destroy();
    }

    void addPicture(const char16_t* name, int skins = 24) {
        engine.addTexture(name, skins);
        auto* texture = static_cast<Texture*>(qor->pResourceManager->find(true, name));
        for (int i = 0; i < skins; ++i)
            qor->pResourceManager->addResource(texture->skins[i], formatString(u"%s:%d", name, i));
    }

    // A new Invasion of `sides` at `difficulty` as the current game, started from
    // `block` (null: a new game).
    GameControllerCampaign& start(int sides = 1, int difficulty = 2, const SavedGame* block = nullptr) {
        global->configuration.invasionPlayers = sides - 1;
        global->configuration.difficulty = difficulty;
        game = &engine.startGame<GameControllerCampaign>();
        game->startGame(block);
        return *game;
    }
    // One frame of kStep s (short enough for the contexts' clocks to take it whole).
    void step() { engine.stepGame(kStep); }
    // Frames until the controller's clock has run `seconds` more.
    void run(double seconds) {
        for (double t = 0.0; t < seconds - 1e-9; t += kStep) step();
    }
    // Frames until the controller reaches `state` (at most `limit` s); true when it did.
    bool runUntilState(std::int32_t state, double limit = 120.0) {
        for (double t = 0.0; t < limit - 1e-9 && game->state != state; t += kStep) step();
        return game->state == state;
    }
    SavedGame profileBlock() { return SavedGame(*GameControllerCampaign::profileBlock()); }
    static int count(const QorBase& node) { return node.countChildren(); }

    GameTestEngine engine;
    TempFolder folder;
    std::vector<Sound*> sounds;
    GameControllerCampaign* game = nullptr;
};
