#include "platform/X11Geometry.h"

#include <SDL.h>
#include <SDL_syswm.h>

namespace {
#if defined(SDL_VIDEO_DRIVER_X11)
bool x11Handles(SDL_Window* window, Display*& display, ::Window& handle) {
    if (!window) return false;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    display = info.info.x11.display;
    handle = info.info.x11.window;
    return display != nullptr;
}
#endif
}  // namespace

namespace X11Geometry {

bool query(SDL_Window* window, int& x, int& y, int& width, int& height) {
#if defined(SDL_VIDEO_DRIVER_X11)
    Display* display = nullptr;
    ::Window handle = 0;
    if (!x11Handles(window, display, handle)) return false;
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, handle, &attributes)) return false;
    // The attributes' position is relative to the parent, which a window manager's
    // frame replaces: ask where the client's corner lies on the root window.
    int rootX = 0, rootY = 0;
    ::Window child = 0;
    XTranslateCoordinates(display, handle, attributes.root, 0, 0, &rootX, &rootY, &child);
    x = rootX;
    y = rootY;
    width = attributes.width;
    height = attributes.height;
    return true;
#else
    (void)window, (void)x, (void)y, (void)width, (void)height;
    return false;
#endif
}

bool place(SDL_Window* window, int x, int y, int width, int height) {
#if defined(SDL_VIDEO_DRIVER_X11)
    Display* display = nullptr;
    ::Window handle = 0;
    if (!x11Handles(window, display, handle) || width <= 0 || height <= 0) return false;
    XMoveResizeWindow(display, handle, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XRaiseWindow(display, handle);
    XSync(display, False);
    return true;
#else
    (void)window, (void)x, (void)y, (void)width, (void)height;
    return false;
#endif
}

}  // namespace X11Geometry
