#pragma once
// The game-mode screen that the title menu's Start Game opens. For now a title and a
// Back item, reachable and closable.
#include "ui/ContextMenu.h"

class ContextGameMode : public ContextMenu {
public:
    ContextGameMode();
};
