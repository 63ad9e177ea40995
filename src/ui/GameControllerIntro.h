#pragma once
// The intro scene between the logo screen and the title menu. For now it shows the
// moving backdrop and ends after 32 seconds, or at once on a fire key, Escape or a touch.
#include "render/Context.h"

class GameControllerIntro : public Context {
public:
    static constexpr double kDuration = 32.0;  // s

    GameControllerIntro();
};
