#include "platform/X11Geometry.h"

#include <SDL.h>
#include <SDL_syswm.h>
#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xutil.h>
#include <X11/extensions/XInput2.h>
#endif

#include <algorithm>
#include <bit>
#include <cstring>

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

// The window's X handles and attributes; false when it is no X window or the server
// refuses.
bool x11Attributes(SDL_Window* window, Display*& display, ::Window& handle, XWindowAttributes& attributes) {
    return x11Handles(window, display, handle) && XGetWindowAttributes(display, handle, &attributes);
}

// A request the server refuses (a window unmapped in the meantime) must not end the
// program through Xlib's default handler: it is counted instead, while the handler is set.
int refusedRequests = 0;
int countRefusal(Display*, XErrorEvent*) {
    ++refusedRequests;
    return 0;
}

// One channel of an image's pixel value, by its mask, as 8 bits.
std::uint32_t channel(unsigned long value, unsigned long mask) {
    if (mask == 0) return 0;
    const unsigned long bits = value & mask;
    const int shift = std::countr_zero(mask);
    const int width = std::popcount(mask);
    const unsigned long v = bits >> shift;
    return static_cast<std::uint32_t>(width >= 8 ? v >> (width - 8) : v * 255 / ((1ul << width) - 1));
}

// A pointing device that a hand moves: not a touch screen (whose contacts are direct),
// nor the server's test device, which every server has for programs that fake input.
bool movedByHand(const XIDeviceInfo& device) {
    if (device.use != XISlavePointer || !device.enabled || std::strstr(device.name, "XTEST")) return false;
    for (int c = 0; c < device.num_classes; ++c) {
        const XIAnyClassInfo* info = device.classes[c];
        if (info->type == XITouchClass && reinterpret_cast<const XITouchClassInfo*>(info)->mode == XIDirectTouch)
            return false;
    }
    return true;
}
#endif
}  // namespace

namespace X11Geometry {

bool query(SDL_Window* window, int& x, int& y, int& width, int& height) {
#if defined(SDL_VIDEO_DRIVER_X11)
    Display* display = nullptr;
    ::Window handle = 0;
    XWindowAttributes attributes{};
    if (!x11Attributes(window, display, handle, attributes)) return false;
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

bool queryPointer(SDL_Window* window, int& x, int& y, bool& inside) {
#if defined(SDL_VIDEO_DRIVER_X11)
    Display* display = nullptr;
    ::Window handle = 0;
    XWindowAttributes attributes{};
    if (!x11Attributes(window, display, handle, attributes)) return false;
    ::Window root = 0, child = 0;
    int rootX = 0, rootY = 0, windowX = 0, windowY = 0;
    unsigned int buttons = 0;
    // The server answers false when the pointer is on another of its screens.
    const bool sameScreen =
        XQueryPointer(display, handle, &root, &child, &rootX, &rootY, &windowX, &windowY, &buttons) != 0;
    x = windowX;
    y = windowY;
    inside = sameScreen && windowX >= 0 && windowY >= 0 && windowX < attributes.width && windowY < attributes.height;
    return true;
#else
    (void)window, (void)x, (void)y, (void)inside;
    return false;
#endif
}

bool queryMouse(SDL_Window* window, bool& present) {
#if defined(SDL_VIDEO_DRIVER_X11)
    Display* display = nullptr;
    ::Window handle = 0;
    if (!x11Handles(window, display, handle)) return false;
    int opcode = 0, event = 0, error = 0;
    present = true;
    if (!XQueryExtension(display, "XInputExtension", &opcode, &event, &error)) return true;
    // Touch screens show as such to clients of version 2.2 and later. SDL may have
    // announced its own version on this connection already, which then stands; a server
    // that takes offence at a second announcement is counted, not fatal.
    refusedRequests = 0;
    const XErrorHandler previous = XSetErrorHandler(countRefusal);
    int major = 2, minor = 2;
    int count = 0;
    XIDeviceInfo* devices = nullptr;
    if (XIQueryVersion(display, &major, &minor) == Success) devices = XIQueryDevice(display, XIAllDevices, &count);
    XSync(display, False);
    XSetErrorHandler(previous);
    if (!devices) return true;
    if (refusedRequests == 0) present = std::any_of(devices, devices + count, movedByHand);
    XIFreeDeviceInfo(devices);
    return true;
#else
    (void)window, (void)present;
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

bool readPicture(SDL_Window* window, int width, int height, std::vector<std::uint32_t>& pixels) {
#if defined(SDL_VIDEO_DRIVER_X11)
    Display* display = nullptr;
    ::Window handle = 0;
    XWindowAttributes attributes{};
    if (width <= 0 || height <= 0 || !x11Attributes(window, display, handle, attributes) ||
        attributes.map_state != IsViewable || attributes.width < width || attributes.height < height)
        return false;
    XSync(display, False);  // the swap's picture reaches the server before it is read
    refusedRequests = 0;
    const XErrorHandler previous = XSetErrorHandler(countRefusal);
    XImage* image = XGetImage(display, handle, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                              AllPlanes, ZPixmap);
    XSync(display, False);
    XSetErrorHandler(previous);
    if (!image || refusedRequests > 0) {
        if (image) XDestroyImage(image);
        return false;
    }
    pixels.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned long v = XGetPixel(image, x, y);
            pixels[static_cast<std::size_t>(y) * width + x] = 0xFF000000u | channel(v, image->red_mask) << 16 |
                                                              channel(v, image->green_mask) << 8 |
                                                              channel(v, image->blue_mask);
        }
    XDestroyImage(image);
    return true;
#else
    (void)window, (void)width, (void)height, (void)pixels;
    return false;
#endif
}

}  // namespace X11Geometry
