#pragma once
// The game's title menu: Start Game opens the game-mode screen, and the user data is
// saved each time the menu comes back on top (the first time included), after which
// the player is told of any trouble with the saved data not told before.
#include "ui/ContextMain.h"

class ContextMainGame : public ContextMain {
public:
    ContextMainGame() = default;

    void onActivate(bool first) override;
    void onStartGame() override;
};
