#pragma once
// The options menu that the title menu's Options item opens. For now a title and a Back
// item, reachable and closable.
#include "ui/ContextMenu.h"

class ContextOptions : public ContextMenu {
public:
    ContextOptions();
};
