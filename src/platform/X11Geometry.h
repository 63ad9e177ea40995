#pragma once
// The window's geometry, picture and pointer as the X server has them. SDL keeps its own
// idea of a window's size, which on a server without a window manager says "full screen"
// while the window stays as it was; these ask the server, and move the window there
// directly.
//
// Kept apart from Window.h: the X headers name a type `Window` of their own.
#include <cstdint>
#include <vector>

struct SDL_Window;

namespace X11Geometry {
// The client area's position on the root window and its size, in pixels; false (and
// nothing written) when the window is not on an X server.
bool query(SDL_Window* window, int& x, int& y, int& width, int& height);
// Where the pointer is, in pixels from the client area's top-left corner, as the server
// has it now (SDL learns of it only from events), and whether it lies over the client
// area; false (and nothing written) when the window is not on an X server.
bool queryPointer(SDL_Window* window, int& x, int& y, bool& inside);
// Whether the server has a mouse (or a touchpad, trackball...) among its input devices: a
// pointing device that is neither a touch screen nor the server's stand-in for programs
// that fake input; false (and nothing written) when the window is not on an X server.
// A server without the input extension's second version counts as having one.
bool queryMouse(SDL_Window* window, bool& present);
// Moves and sizes the client area on the server, past SDL's own state; false when the
// window is not on an X server.
bool place(SDL_Window* window, int x, int y, int width, int height);
// The top-left width x height pixels of the client area as the server shows them, ARGB
// (opaque) rows from the top: the window's own picture under a compositor, else what the
// screen holds there (another window lying over it included). False, with `pixels`
// untouched, when the window is not on an X server, not shown, smaller than asked, or
// the server refuses.
bool readPicture(SDL_Window* window, int width, int height, std::vector<std::uint32_t>& pixels);
}  // namespace X11Geometry
