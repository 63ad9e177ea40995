#pragma once
// The game's application object: the start screens of this game and the running game.
#include "ui/Global.h"

class GameController;

class GameGlobal : public Global {
public:
    GameGlobal() = default;
    // The program's application: a new GameGlobal, made `global`, after its first
    // start-up stage.
    static Application* start();

    // Pushes the title menu, then the intro scene above it.
    void createStartScreens() override;

    GameController* pCurrentGame = nullptr;  // the game on the screen stack, not owned; null for none
};
