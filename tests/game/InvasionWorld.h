#pragma once
// Test support for the Invasion: the enemies' world (every picture and sound of the
// enemies, weapons and effects) plus what the Invasion itself looks up (the island, the
// balloons and their icons as "name:i" skins, the bonus sounds), In-game help off, and
// a helper that starts a GameControllerCampaign as the current game with the rules of a
// test. The saved block is the current profile's Invasion block, as in the game.
#include "engine/Format.h"
#include "game/EnemyWorld.h"
#include "game/GameControllerCampaign.h"
#include "game/SavedGame.h"

class InvasionWorld : public EnemyWorld {
protected:
    static constexpr double kStep = 1.0 / 32.0;  // s: short enough for the clocks to take it whole

    InvasionWorld() {
        global->configuration.bInGameHelp = 0;
        for (auto [name, skins] : {std::pair{u"balloons", 7}, {u"hud-bonusicons", 6}})
            for (int i = 0; i < skins; ++i) engine.addSkin(formatString(u"%s:%d", name, i), 32.0f, 48.0f);
        engine.addSkin(u"hud-touchscreen:1", 60.0f, 60.0f);
        engine.addSkin(u"island:0", 128.0f, 64.0f);
        engine.addSkin(u"island:all", 256.0f, 64.0f);
        for (const char16_t* name : {u"switchWeaponLower", u"bonusPickup+", u"bonusPickup-", u"balloonPop"}) {
            sounds.push_back(new Sound(0, 2, u"silent.ogg"));
            qor->pResourceManager->addResource(sounds.back(), name);
        }
    }

    // A new Invasion of `sides` at `difficulty` as the current game, started from
    // `block` (null: a new game).
    GameControllerCampaign& start(int sides = 1, int difficulty = 2, const SavedGame* block = nullptr) {
        global->configuration.invasionPlayers = sides - 1;
        global->configuration.difficulty = difficulty;
        invasion = &engine.startGame<GameControllerCampaign>();
        game = invasion;
        invasion->startGame(block);
        return *invasion;
    }
    void step() { engine.stepGame(kStep); }
    // Frames until the controller's clock has run `seconds` more.
    void runFor(double seconds) {
        for (double t = 0.0; t < seconds - 1e-9; t += kStep) step();
    }
    // Frames until the controller reaches `state` (at most `limit` s); true when it did.
    bool runUntilState(std::int32_t state, double limit = 120.0) {
        for (double t = 0.0; t < limit - 1e-9 && invasion->state != state; t += kStep) step();
        return invasion->state == state;
    }
    static SavedGame profileBlock() { return SavedGame(*GameControllerCampaign::profileBlock()); }

    GameControllerCampaign* invasion = nullptr;
};
