#include "platform/Window.h"

#include <SDL.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <utility>

#include "platform/ScanCodeMap.h"
#include "platform/WindowListener.h"
#include "platform/X11Geometry.h"

namespace {
// A window manager answers a size or full-screen request within a few frames; a window
// still elsewhere after this long has nobody to carry the request out.
constexpr Uint32 kSettleWaitMs = 400;
constexpr Uint32 kSettlePollMs = 10;

// Wheel steps are reported like the original platform's: 120 per notch.
constexpr int kWheelStep = 120;

// The process whose start brought SDL's video up; 0 while it is down. A process forked
// from it inherits SDL's state, and with it this number, which then is not its own.
std::atomic<pid_t> videoProcess{0};

int mouseButtonIndex(Uint8 sdlButton) {
    switch (sdlButton) {
        case SDL_BUTTON_LEFT:
            return 0;
        case SDL_BUTTON_RIGHT:
            return 1;
        case SDL_BUTTON_MIDDLE:
            return 2;
        default:
            return -1;
    }
}

// Keys whose characters the original platform typed but SDL's text input leaves out.
char16_t controlCharacter(SDL_Keycode key) {
    switch (key) {
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return 13;
        case SDLK_BACKSPACE:
            return 8;
        case SDLK_TAB:
            return 9;
        case SDLK_ESCAPE:
            return 27;
        default:
            return 0;
    }
}

unsigned modifiersOf(Uint16 mod) {
    constexpr std::pair<Uint16, unsigned> kBits[] = {
        {KMOD_LSHIFT, WindowListener::kLeftShift}, {KMOD_RSHIFT, WindowListener::kRightShift},
        {KMOD_LCTRL, WindowListener::kLeftCtrl},   {KMOD_RCTRL, WindowListener::kRightCtrl},
        {KMOD_LALT, WindowListener::kLeftAlt},     {KMOD_RALT, WindowListener::kRightAlt},
    };
    unsigned held = 0;
    for (const auto& [sdl, bit] : kBits)
        if (mod & sdl) held |= bit;
    return held;
}

// Queues a mouse motion over `window` to (x, y), window units, with `buttons` (SDL's
// mask) held.
void queueMotion(SDL_Window* window, int x, int y, Uint32 buttons) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = SDL_GetWindowID(window);
    e.motion.state = buttons;
    e.motion.x = x;
    e.motion.y = y;
    SDL_PushEvent(&e);
}

void reportText(const char* utf8, WindowListener& listener) {
    // SDL hands typed text as UTF-8; the program takes it one UTF-16 unit at a time.
    const auto* p = reinterpret_cast<const unsigned char*>(utf8);
    while (*p) {
        std::uint32_t cp = *p;
        int extra = cp >= 0xF0 ? 3 : cp >= 0xE0 ? 2 : cp >= 0xC0 ? 1 : 0;
        cp &= extra == 3 ? 0x07 : extra == 2 ? 0x0F : extra == 1 ? 0x1F : 0x7F;
        ++p;
        for (int i = 0; i < extra && (*p & 0xC0) == 0x80; ++i, ++p) cp = (cp << 6) | (*p & 0x3F);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            listener.character(static_cast<char16_t>(0xD800 + (cp >> 10)));
            listener.character(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            listener.character(static_cast<char16_t>(cp));
        }
    }
}
}  // namespace

Window::~Window() { destroy(); }

bool Window::initVideo() {
    SDL_SetHint(SDL_HINT_MOUSE_TOUCH_EVENTS, "0");
    const bool wasRunning = SDL_WasInit(SDL_INIT_VIDEO) != 0;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) return false;
    if (!wasRunning) videoProcess = getpid();
    return true;
}

void Window::shutdownVideo() {
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    if (!SDL_WasInit(SDL_INIT_VIDEO)) videoProcess = 0;
}

bool Window::videoStartedHere() { return SDL_WasInit(SDL_INIT_VIDEO) && videoProcess == getpid(); }

bool Window::create(const std::string& title, int x, int y, int width, int height) {
    window = SDL_CreateWindow(title.c_str(), x, y, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
    if (!window) return false;
    createdWidth = width;
    createdHeight = height;
    SDL_RaiseWindow(window);
    SDL_StartTextInput();
    return true;
}

void Window::destroy() {
    if (!window) return;
    SDL_StopTextInput();
    SDL_DestroyWindow(window);
    window = nullptr;
}

void Window::placeClientArea(int x, int y, int width, int height) {
    if (!window) return;
    SDL_RestoreWindow(window);
    SDL_SetWindowBordered(window, SDL_TRUE);
    SDL_SetWindowSize(window, width, height);
    SDL_SetWindowPosition(window, x, y);
}

void Window::realGeometry(int& x, int& y, int& width, int& height) const {
    x = y = width = height = 0;
    if (!window || X11Geometry::query(window, x, y, width, height)) return;
    SDL_GetWindowPosition(window, &x, &y);
    SDL_GetWindowSize(window, &width, &height);
}

// Only an X server is asked: elsewhere SDL's own idea of the window is all there is.
bool Window::settleGeometry(int x, int y, int width, int height, bool checkPosition) {
    int rx = 0, ry = 0, rw = 0, rh = 0;
    if (!window || !X11Geometry::query(window, rx, ry, rw, rh)) return false;
    const Uint32 start = SDL_GetTicks();
    for (;;) {
        if (rw == width && rh == height && (!checkPosition || (rx == x && ry == y))) return false;
        if (SDL_GetTicks() - start >= kSettleWaitMs) break;
        SDL_Delay(kSettlePollMs);
        X11Geometry::query(window, rx, ry, rw, rh);
    }
    return X11Geometry::place(window, x, y, width, height);
}

// Pointer positions are window units here: on X11 they are the drawable's pixels.
void Window::resyncPointer() {
    int x = 0, y = 0;
    bool inside = false;
    if (!X11Geometry::queryPointer(window, x, y, inside) || !inside) return;
    SDL_PumpEvents();
    int recordedX = 0, recordedY = 0;
    const Uint32 buttons = SDL_GetMouseState(&recordedX, &recordedY);
    placedMotionDue = true;
    placedX = x;
    placedY = y;
    if (recordedX == x && recordedY == y) {
        // SDL is right, and would drop a move that changes nothing; but the listener may
        // be new (an engine built again for a restart, in a window that stayed put) and
        // still believe the mouse away, so the place is reported all the same.
        queueMotion(window, x, y, buttons);
        return;
    }
    // The waiting moves were measured against the window's old place. Moving the pointer
    // to where it already is sets SDL's record and brings one move of the right place.
    SDL_FlushEvent(SDL_MOUSEMOTION);
    SDL_WarpMouseInWindow(window, x, y);
}

// An X server is asked directly; elsewhere SDL's record of the last pointer event is
// all there is, which holds while the pointer is over the window.
bool Window::pointerPosition(int& x, int& y) const {
    if (!window) return false;
    bool inside = false;
    if (X11Geometry::queryPointer(window, x, y, inside)) return inside;
    if (isHeadless() || SDL_GetMouseFocus() != window) return false;
    int wx = 0, wy = 0;
    SDL_GetMouseState(&wx, &wy);
    float sx = 1.0f, sy = 1.0f;
    drawableScale(sx, sy);
    x = static_cast<int>(static_cast<float>(wx) * sx);
    y = static_cast<int>(static_cast<float>(wy) * sy);
    return true;
}

bool Window::hasMouse() const {
    if (!window || isHeadless()) return false;
    bool present = false;
    if (X11Geometry::queryMouse(window, present)) return present;
    return SDL_GetNumTouchDevices() == 0;
}

bool Window::isHeadless() const {
    const char* driver = SDL_GetCurrentVideoDriver();
    return !driver || !std::strcmp(driver, "offscreen") || !std::strcmp(driver, "dummy");
}

bool Window::hasInputFocus() const {
    if (isHeadless()) return true;
    return window && (SDL_GetWindowFlags(window) & SDL_WINDOW_INPUT_FOCUS) &&
           !(SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED);
}

bool Window::dispatchOneEvent(WindowListener& listener) {
    SDL_Event e;
    if (!SDL_PollEvent(&e)) return false;
    switch (e.type) {
        case SDL_QUIT:
            listener.closeRequested();
            break;
        case SDL_WINDOWEVENT:
            switch (e.window.event) {
                case SDL_WINDOWEVENT_FOCUS_GAINED:
                    listener.windowFocusGained();
                    break;
                // Minimising takes the focus away too, whatever the window manager says.
                case SDL_WINDOWEVENT_FOCUS_LOST:
                case SDL_WINDOWEVENT_MINIMIZED:
                    listener.windowFocusLost();
                    break;
                case SDL_WINDOWEVENT_CLOSE:
                    listener.closeRequested();
                    break;
                case SDL_WINDOWEVENT_LEAVE:
                    listener.mouseLeft();
                    break;
                default:
                    break;
            }
            break;
        case SDL_TEXTINPUT:
            if (!std::exchange(takenKeyTextDue, false)) reportText(e.text.text, listener);
            break;
        case SDL_KEYDOWN:
            takenKeyTextDue = listener.keyDown(ScanCodeMap::toInputCode(e.key.keysym.scancode),
                                               modifiersOf(e.key.keysym.mod), e.key.repeat != 0);
            if (char16_t c = controlCharacter(e.key.keysym.sym); c && !takenKeyTextDue) listener.character(c);
            break;
        case SDL_MOUSEMOTION:
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
        case SDL_MOUSEWHEEL:
            dispatchMouse(e, listener);
            break;
        case SDL_FINGERDOWN:
        case SDL_FINGERMOTION:
        case SDL_FINGERUP:
            dispatchFinger(e, listener);
            break;
        default:
            break;
    }
    return true;
}

void Window::surfaceSize(int& width, int& height) const {
    width = height = 0;
    if (!window) return;
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver && std::strcmp(driver, "offscreen") == 0) {
        width = createdWidth;
        height = createdHeight;
        return;
    }
    SDL_GL_GetDrawableSize(window, &width, &height);
}

void Window::drawableScale(float& sx, float& sy) const {
    sx = sy = 1.0f;
    if (!window) return;
    int w = 0, h = 0, dw = 0, dh = 0;
    SDL_GetWindowSize(window, &w, &h);
    SDL_GL_GetDrawableSize(window, &dw, &dh);
    if (w > 0 && dw > 0) sx = static_cast<float>(dw) / static_cast<float>(w);
    if (h > 0 && dh > 0) sy = static_cast<float>(dh) / static_cast<float>(h);
}

void Window::dispatchMouse(const SDL_Event& e, WindowListener& listener) {
    // With a touch device present, SDL also reports each touch as mouse events; the
    // fingers already arrive as contacts of their own. The wheel is never synthesised.
    const bool synthesised = e.type == SDL_MOUSEWHEEL    ? false
                             : e.type == SDL_MOUSEMOTION ? e.motion.which == SDL_TOUCH_MOUSEID
                                                         : e.button.which == SDL_TOUCH_MOUSEID;
    if (synthesised && SDL_GetNumTouchDevices() > 0) return;
    float sx = 1.0f, sy = 1.0f;
    drawableScale(sx, sy);
    auto px = [sx](int x) { return static_cast<int>(static_cast<float>(x) * sx); };
    auto py = [sy](int y) { return static_cast<int>(static_cast<float>(y) * sy); };
    const bool placed = placedMotionDue && e.type == SDL_MOUSEMOTION && e.motion.x == placedX && e.motion.y == placedY;
    if (e.type != SDL_MOUSEWHEEL) placedMotionDue = false;
    switch (e.type) {
        case SDL_MOUSEMOTION:
            if (placed)
                listener.pointerPlaced(px(e.motion.x), py(e.motion.y));
            else
                listener.mouseMove(px(e.motion.x), py(e.motion.y));
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            const int button = mouseButtonIndex(e.button.button);
            if (button < 0) break;
            if (e.type == SDL_MOUSEBUTTONDOWN)
                listener.mouseButtonDown(px(e.button.x), py(e.button.y), button);
            else
                listener.mouseButtonUp(px(e.button.x), py(e.button.y), button);
            break;
        }
        case SDL_MOUSEWHEEL: {
            const int steps = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
            if (steps) listener.mouseWheel(steps * kWheelStep);
            break;
        }
        default:
            break;
    }
}

void Window::dispatchFinger(const SDL_Event& e, WindowListener& listener) {
    // Finger positions arrive as fractions of the window.
    int w = 0, h = 0;
    if (window) SDL_GL_GetDrawableSize(window, &w, &h);
    const int x = static_cast<int>(e.tfinger.x * static_cast<float>(w));
    const int y = static_cast<int>(e.tfinger.y * static_cast<float>(h));
    const std::int64_t device = e.tfinger.touchId;
    const std::int64_t finger = e.tfinger.fingerId;
    if (e.type == SDL_FINGERDOWN) {
        listener.touchDown(x, y, fingerTags.press(device, finger));
        return;
    }
    // A finger that never touched down here (it did before the window existed) is not
    // reported: its tag would be -1, which ended contacts carry.
    const int tag = e.type == SDL_FINGERUP ? fingerTags.release(device, finger) : fingerTags.find(device, finger);
    if (tag < 0) return;
    if (e.type == SDL_FINGERUP)
        listener.touchUp(x, y, tag);
    else
        listener.touchMove(x, y, tag);
}

void Window::warpMouse(int x, int y) {
    if (!window) return;
    float sx = 1.0f, sy = 1.0f;
    drawableScale(sx, sy);
    SDL_WarpMouseInWindow(window, static_cast<int>(static_cast<float>(x) / sx),
                          static_cast<int>(static_cast<float>(y) / sy));
}

// Without the video there is no cursor to show, and SDL would reach for the freed one.
void Window::showCursor(bool show) {
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}
