#pragma once
// Test support for the Duel controller: the Duel vehicles' world plus what the Duel
// itself looks up (the island's skins, the balloons and their icons, the bonus sounds),
// In-game help off, and helpers that start a GameControllerDuel (or the tutorial) as
// the current game and run it frame by frame. The saved block is the current profile's
// Duel block, as in the game.
#include "game/DuelWorld.h"
#include "game/GameControllerDuel.h"
#include "game/SavedGame.h"
#include "ui/ContextManager.h"

class DuelGame : public DuelWorld {
protected:
    static constexpr double kStep = 1.0 / 32.0;  // s

    DuelGame() {
        global->configuration.bInGameHelp = 0;
        global->profiles.createProfile(u"Ann");
        addIslandAndBonuses();
    }

    // A new controller of class T against `opponent` (1 a friend, 2 the computer) at
    // `difficulty`, started from `block` (null: a new war).
    template <class T = GameControllerDuel>
    T& start(int opponent = 2, int difficulty = 2, const SavedGame* block = nullptr) {
        global->configuration.duelOpponent = opponent;
        global->configuration.difficulty = difficulty;
        T& duel = engine.startGame<T>();
        game = &duel;
        duel.startGame(block);
        return duel;
    }
    GameControllerDuel& duel() { return *static_cast<GameControllerDuel*>(game); }
    void step() { engine.stepGame(kStep); }
    void runFor(double seconds) {
        for (double t = 0.0; t < seconds - 1e-9; t += kStep) step();
    }
    // Frames until the controller enters `state` (at most `limit` s); true when it did.
    bool runUntilState(std::int32_t state, double limit = 60.0) {
        for (double t = 0.0; t < limit - 1e-9 && duel().state != state; t += kStep) step();
        return duel().state == state;
    }
    // Takes the round's vehicles out, so that nothing but the test ends a round.
    void parkVehicles() {
        list(GameController::kPlaneList).deleteChildren();
        list(GameController::kVehicleList).deleteChildren();
    }
    static SavedGame profileBlock() { return *GameControllerDuel::profileBlock(); }
    // The screens pushed above the game, bottom to top.
    template <class T>
    std::vector<T*> pushed() {
        std::vector<T*> screens;
        for (BasicLink* c = global->pContextManager->firstChild; c; c = c->next)
            if (auto* s = dynamic_cast<T*>(static_cast<QorBase*>(c))) screens.push_back(s);
        return screens;
    }
};
