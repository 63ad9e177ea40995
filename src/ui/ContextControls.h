#pragma once
// The controls menu: each player's key page and the keyboard page. The pages write the
// bindings straight into the configuration record's key table, where the game reads
// them; nothing is applied.
#include "ui/ContextMenu.h"

class ContextDialog;
class MenuButton;

class ContextControls : public ContextMenu {
public:
    ContextControls();

    void tickContents(double time, double dt) override;

    MenuButton* pPlayer1 = nullptr;  // children
    MenuButton* pPlayer2 = nullptr;
    MenuButton* pKeyboard = nullptr;
};

// A player's key page (player 0 or 1): the five controls of a vehicle, as a new screen
// for the caller to push.
ContextDialog* openPlayerControls(int player);
// The keyboard page: the fixed in-game menu key, shown but not changeable.
ContextDialog* openKeyboardOptions();
