#pragma once
// Turns what the window reports into calls on the engine: focus changes, key presses,
// typed characters, mouse and touch contacts. Every hook does nothing while there is no
// engine, and the input hooks nothing while the engine has no input service.
#include "platform/WindowListener.h"

class WMhooks : public WindowListener {
public:
    void windowFocusGained() override;
    void windowFocusLost() override;
    bool keyDown(int code, unsigned modifiers, bool repeat) override;
    void character(char16_t c) override;
    void mouseButtonDown(int x, int y, int button) override;
    void mouseButtonUp(int x, int y, int button) override;
    void mouseMove(int x, int y) override;
    void pointerPlaced(int x, int y) override;
    void mouseLeft() override;
    void mouseWheel(int delta) override;
    void touchDown(int x, int y, int id) override;
    void touchMove(int x, int y, int id) override;
    void touchUp(int x, int y, int id) override;
    void closeRequested() override { bCloseRequested = true; }

    bool bCloseRequested = false;  // read and cleared by the message loop
};
