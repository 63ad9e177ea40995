#pragma once
// How the game benchmarks move a game on without the program's shell: one 60 Hz frame of
// the engine's clock and the game's tick, and the game's end, so that the next one starts
// with the application holding no current game.
#include "engine/Qor.h"
#include "game/GameController.h"
#include "game/GameGlobal.h"

namespace bench {
constexpr double kGameFrame = 1.0 / 60.0;  // s

inline void stepFrame(GameController& game) {
    ++qor->frameCounter;
    qor->timer.previousFrameStart = qor->timer.frameStart;
    qor->timer.frameStart += kGameFrame;
    game.tick(0.0, 0.0);
}

// Destroys `game`, if any, and leaves it null.
template <class Game>
void endGame(Game*& game) {
    if (!game) return;
    static_cast<GameGlobal*>(global)->pCurrentGame = nullptr;
    game->destroy();
    game = nullptr;
}
}  // namespace bench
