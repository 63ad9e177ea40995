#pragma once
// The animated backdrop of every menu: sky and sea, and snow falling in a box three
// screens wide around the camera, which stands 24 units below the top of the screen.
// Owned by Global and never pushed on the screen stack: each menu screen hangs it as
// its background hook, so one backdrop goes on moving behind all menus.
#include "ui/ContextBlender.h"

class ContextMenuBackground : public ContextBlender {
public:
    static constexpr float kSnowSpread = 3.0f;

    // Needs the textures "sky", "sea" and "snowflake".
    ContextMenuBackground();
};
