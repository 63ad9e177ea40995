#pragma once
// The logo screen: the maker's logo fading in and out on black for a few seconds. Either
// player's fire key, Escape or a touch closes it early. Its clock runs only while it is
// the top screen.
#include "render/Context.h"

class ContextSplash : public Context {
public:
    static constexpr double kDuration = 3.5;  // s on top before it closes itself

    // Needs the skin "qrstudios:0".
    ContextSplash();
};
