#pragma once
// The game's application object: the start screens of this game and the running game.
#include "ui/Global.h"

class GameController;

class GameGlobal : public Global {
public:
    GameGlobal() = default;

    // Pushes the title menu, then the intro scene above it.
    void createStartScreens() override;

    GameController* pCurrentGame = nullptr;  // the game on the screen stack, not owned; null for none
};
