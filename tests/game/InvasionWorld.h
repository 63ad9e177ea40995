#pragma once
// Test support for the Invasion: the enemies' world (every picture and sound of the
// enemies, weapons and effects) plus what the Invasion itself looks up (the island, the
// balloons and their icons as "name:i" skins, the bonus sounds), In-game help off, and
// a helper that starts a GameControllerCampaign as the current game with the rules of a
// test. The saved block is the current profile's Invasion block, as in the game.
#include "game/EnemyWorld.h"
#include "game/GameControllerCampaign.h"
#include "game/SavedGame.h"

class InvasionWorld : public EnemyWorld {
protected:
    static constexpr double kStep = 1.0 / 32.0;  // s: short enough for the clocks to take it whole

    InvasionWorld() {
        global->configuration.bInGameHelp = 0;
        addIslandAndBonuses();
        engine.addSkin(u"hud-touchscreen:1", 60.0f, 60.0f);
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
