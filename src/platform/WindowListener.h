#pragma once
// What the window reports to the program. Positions are in drawable pixels of the
// window's client area (x right, y down), the pixels the drawing viewport is measured in.
#include <cstdint>

class WindowListener {
public:
    // The modifier keys held at a key's press, as bits.
    enum Modifier : unsigned {
        kLeftShift = 1u << 0,
        kRightShift = 1u << 1,
        kLeftCtrl = 1u << 2,
        kRightCtrl = 1u << 3,
        kLeftAlt = 1u << 4,
        kRightAlt = 1u << 5,
    };

    virtual ~WindowListener() = default;
    virtual void windowFocusGained() = 0;
    virtual void windowFocusLost() = 0;
    // A key went down: its keyboard input code (the PC set-1 scan code of its place on
    // the keyboard, whatever the layout types there; 0 for a key without one), the
    // modifier keys held with it (Modifier bits) and whether the system's key repeat sent
    // it. Reported before the characters the press types. True when the listener takes the
    // press as a command of its own: what the press types is then not reported.
    virtual bool keyDown(int /*code*/, unsigned /*modifiers*/, bool /*repeat*/) { return false; }
    // One UTF-16 code unit typed; 13 for Enter, 8 for Backspace, 9 for Tab, 27 for Escape.
    virtual void character(char16_t c) = 0;
    // Buttons: 0 left, 1 right, 2 middle. Mouse events that the system synthesises
    // from touch are not reported.
    virtual void mouseButtonDown(int x, int y, int button) = 0;
    virtual void mouseButtonUp(int x, int y, int button) = 0;
    virtual void mouseMove(int x, int y) = 0;
    // The mouse is at (x, y) over the window, reported after the window was placed: not
    // a move of the player's, but where a pointer that stayed still now is.
    virtual void pointerPlaced(int x, int y) = 0;
    // The mouse left the client area (the place last reported stands on its edge).
    virtual void mouseLeft() {}
    // Wheel steps in multiples of 120 per notch, positive away from the user.
    virtual void mouseWheel(int delta) = 0;
    // Fingers: `id` is a small tag (1 and up) that the finger keeps while it touches;
    // a lifted finger's tag may be handed to the next one.
    virtual void touchDown(int x, int y, int id) = 0;
    virtual void touchMove(int x, int y, int id) = 0;
    virtual void touchUp(int x, int y, int id) = 0;
    // The user asked to close the window (or the session ends).
    virtual void closeRequested() = 0;
};
