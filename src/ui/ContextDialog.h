#pragma once
// A plain menu screen with nothing of its own: dialogs are built by filling one.
#include "ui/ContextMenu.h"

class ContextDialog : public ContextMenu {
public:
    ContextDialog() = default;
};
