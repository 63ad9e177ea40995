#pragma once
// The game's one window on SDL. Owns the SDL window; the drawing device attaches its
// OpenGL context to it.
#include <string>

#include "platform/FingerTags.h"

struct SDL_Window;
union SDL_Event;
class WindowListener;

class Window {
public:
    Window() = default;
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Starts SDL's video and event subsystems; false when there is no display. SDL counts
    // the starts: the video stops at the shutdown that matches the first.
    static bool initVideo();
    static void shutdownVideo();
    // Whether the video runs, started by this process: a process forked from one whose
    // video runs (a death test's child, say) shares its connection to the display, but
    // nothing it would show there is its own.
    static bool videoStartedHere();

    // Creates a fixed-size window with a caption, shown and raised.
    bool create(const std::string& title, int x, int y, int width, int height);
    void destroy();

    // Whether the window has the keyboard focus: the program's foreground test. A video
    // driver without any focus (offscreen, dummy) counts as always focused.
    bool hasInputFocus() const;
    // Takes one waiting event and reports it; false when none was waiting. Pointer
    // positions are reported in drawable pixels (the pixels the viewport is measured
    // in, more than the window's size on high-density screens).
    bool dispatchOneEvent(WindowListener& listener);

    // Gives the window a frame and a client area of width x height at (x, y) on the
    // desktop, out of full screen and minimised state.
    void placeClientArea(int x, int y, int width, int height);
    // Makes sure the window's client area really is width x height (and, with
    // `checkPosition`, at (x, y) on the desktop). A window manager carries out
    // full-screen and size requests on its own time, so the window is given a moment to
    // get there; without one (a bare X server) a full-screen request is never carried
    // out at all, and the window is then sized and placed at (x, y) directly. True when
    // the window had to be placed that way. Only X11 is checked.
    bool settleGeometry(int x, int y, int width, int height, bool checkPosition);
    // Where the window's client area really is on the desktop, as the window system
    // has it (on X11 asked of the server, not of SDL's own idea of it).
    void realGeometry(int& x, int& y, int& width, int& height) const;
    // Puts the mouse cursor at a point in drawable pixels.
    void warpMouse(int x, int y);
    // Where the mouse cursor is over the client area now, in drawable pixels; false (x
    // and y then meaning nothing) when it lies outside, or the window system does not
    // say (a headless driver).
    bool pointerPosition(int& x, int& y) const;
    // Whether the player has a mouse (or a touchpad) rather than only a touch screen: on
    // X11 the server's input devices are asked; elsewhere a window system with no touch
    // device is taken to have one, and a headless driver has none.
    bool hasMouse() const;
    // To be called after every placement of the window, moved or not. A pointer that
    // stays still reports nothing: SDL, which learns of the pointer only from events,
    // would hold a place (and motion events) off by a move, and would even put the
    // pointer back there on its next switch to or from full screen; and a listener built
    // since its last event (an engine started again) would never hear that the mouse is
    // over the window. When it is, sets SDL right and reports the real place once, as
    // `WindowListener::pointerPlaced`: no move of the player's. Only an X server is asked.
    void resyncPointer();
    static void showCursor(bool show);

    SDL_Window* handle() const { return window; }
    bool isHeadless() const;
    // The size in pixels of the surface OpenGL draws the window into: the drawable's,
    // except on SDL's offscreen driver, whose surface keeps the size it was made with
    // while the window reports any later size.
    void surfaceSize(int& width, int& height) const;

private:
    void dispatchMouse(const SDL_Event& e, WindowListener& listener);
    void dispatchFinger(const SDL_Event& e, WindowListener& listener);
    // Drawable pixels per window unit, 1 when unknown.
    void drawableScale(float& sx, float& sy) const;

    SDL_Window* window = nullptr;
    int createdWidth = 0, createdHeight = 0;
    // The place, in window units, of the motion that a resync brings; the next motion
    // there is reported as placed, and any other mouse event ends the wait.
    bool placedMotionDue = false;
    int placedX = 0, placedY = 0;
    FingerTags fingerTags;  // the tags of the fingers now on a touch device
    // A key press the listener took: the text it types, which comes after it (at once, or
    // later through an input method) and before any other key's press, is dropped.
    bool takenKeyTextDue = false;
};
