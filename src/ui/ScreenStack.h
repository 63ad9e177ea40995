#pragma once
// How the menus reach the screen stack of the application object: the top screen,
// pushing a new screen and asking the program to end. Without an application object
// (headless tests) a pushed screen is deleted at once and the rest do nothing.
class Context;

class ScreenStack {
public:
    // The screen on top, or null.
    static Context* top();
    // Puts `screen` (ownership passes to the stack) on top of the stack.
    static void push(Context* screen);
    // Ends the program after this frame.
    static void requestQuit();
};
