#pragma once
// The game's application object.
#include "ui/Global.h"

class GameGlobal : public Global {
public:
    GameGlobal() = default;
};
