#pragma once
// For screens that show over the screen beneath them on the stack (the players screen
// over the title menu, the name entry over either): drawing that screen first, and
// keeping its background and foreground hooks moving, which the stack would otherwise
// freeze together with the covered screen. Main thread only.
class Context;

class ScreenBelow {
public:
    // The screen right under `screen` on the stack, or null.
    static Context* of(const Context& screen);
    // Draws the screen under `screen`, when there is one.
    static void draw(const Context& screen);
    // Ticks the hooks of the nearest covered screen that has any, once per frame of the
    // top screen; nothing when none has.
    static void tickHooks(const Context& screen);
};
