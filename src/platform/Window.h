#pragma once
// The game's one window on SDL. Owns the SDL window; the drawing device attaches its
// OpenGL context to it.
#include <string>

struct SDL_Window;
class WindowListener;

class Window {
public:
    Window() = default;
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Starts SDL's video and event subsystems; false when there is no display.
    static bool initVideo();
    static void shutdownVideo();

    // Creates a fixed-size window with a caption, shown and raised.
    bool create(const std::string& title, int x, int y, int width, int height);
    void destroy();

    // Whether the window has the keyboard focus: the program's foreground test. A video
    // driver without any focus (offscreen, dummy) counts as always focused.
    bool hasInputFocus() const;
    // Takes one waiting event and reports it; false when none was waiting.
    bool dispatchOneEvent(WindowListener& listener);

    SDL_Window* handle() const { return window; }
    bool isHeadless() const;

private:
    SDL_Window* window = nullptr;
};
