#pragma once
// The Players screen that the title menu's greeting opens. For now a title and a Back
// item, reachable and closable.
#include "ui/ContextMenu.h"

class ContextPlayers : public ContextMenu {
public:
    ContextPlayers();
};
