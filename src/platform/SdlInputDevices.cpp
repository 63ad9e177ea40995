#include "platform/SdlInputDevices.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <utility>

#include "platform/ResultCode.h"
#include "platform/ScanCodeMap.h"
#include "platform/Window.h"

namespace {
constexpr int kSdlAxisMin = -32768;
constexpr int kSdlAxisMax = 32767;
constexpr std::uint8_t kDown = 0x80;
constexpr int kButtons = 32;
constexpr int kHats = 4;
}  // namespace

SdlInputDevices::SdlInputDevices(const Window* window_) : window(window_) {
    // A machine without joystick support still plays with the keyboard and mouse.
    bJoystickSubsystem = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
    SDL_AddEventWatch(&SdlInputDevices::notePress, this);
}

SdlInputDevices::~SdlInputDevices() {
    SDL_DelEventWatch(&SdlInputDevices::notePress, this);
    for (int slot = 0; slot < kMaxJoysticks; ++slot) closeJoystick(slot);
    if (bJoystickSubsystem) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

bool SdlInputDevices::hasFocus() const {
    SDL_Window* focused = SDL_GetKeyboardFocus();
    return focused && window && focused == window->handle();
}

std::int32_t SdlInputDevices::openKeyboard() { return ResultCode::kOk; }

int SdlInputDevices::notePress(void* self, SDL_Event* event) {
    auto& devices = *static_cast<SdlInputDevices*>(self);
    if (event->type == SDL_KEYDOWN) {
        if (const int code = ScanCodeMap::toInputCode(event->key.keysym.scancode)) devices.keyPresses.set(code);
    } else if (event->type == SDL_JOYBUTTONDOWN && event->jbutton.button < kButtons) {
        for (Slot& s : devices.slots)
            if (s.joystick && SDL_JoystickInstanceID(s.joystick) == event->jbutton.which)
                s.buttonPresses |= 1u << event->jbutton.button;
    }
    return 0;
}

bool SdlInputDevices::readKeyboard(std::uint8_t (&state)[kKeyboardBytes]) {
    const std::bitset<kKeyboardBytes> pressed = std::exchange(keyPresses, {});
    if (!hasFocus()) return false;
    int count = 0;
    const Uint8* keys = SDL_GetKeyboardState(&count);
    for (int code = 0; code < kKeyboardBytes; ++code) state[code] = pressed[code] ? kDown : 0;
    for (int sdl = 0; sdl < count; ++sdl) {
        if (!keys[sdl]) continue;
        if (const int code = ScanCodeMap::toInputCode(sdl)) state[code] = kDown;
    }
    return true;
}

int SdlInputDevices::countControllers() { return bJoystickSubsystem ? std::max(SDL_NumJoysticks(), 0) : 0; }

std::string SdlInputDevices::controllerInstanceName(int index) {
    const char* name = SDL_JoystickNameForIndex(index);
    return name ? name : "";
}

std::string SdlInputDevices::controllerProductName(int index) {
    // SDL knows one name per device; the USB ids tell models with equal names apart.
    char ids[16];
    std::snprintf(ids, sizeof ids, " %04x:%04x", SDL_JoystickGetDeviceVendor(index) & 0xFFFF,
                  SDL_JoystickGetDeviceProduct(index) & 0xFFFF);
    return controllerInstanceName(index) + ids;
}

std::int32_t SdlInputDevices::openJoystick(int index, int slot) {
    if (slot < 0 || slot >= kMaxJoysticks || slots[slot].joystick) return ResultCode::kInvalidCall;
    slots[slot] = Slot{};
    slots[slot].joystick = SDL_JoystickOpen(index);
    return slots[slot].joystick ? ResultCode::kOk : ResultCode::kFail;
}

bool SdlInputDevices::setAxisRange(int slot, int axis, int minimum, int maximum) {
    if (slot < 0 || slot >= kMaxJoysticks || axis < 0 || axis > 1 || minimum >= maximum) return false;
    Slot& s = slots[slot];
    if (!s.joystick || SDL_JoystickNumAxes(s.joystick) <= axis) return false;
    s.minimum[axis] = minimum;
    s.maximum[axis] = maximum;
    return true;
}

void SdlInputDevices::closeJoystick(int slot) {
    if (slot < 0 || slot >= kMaxJoysticks || !slots[slot].joystick) return;
    SDL_JoystickClose(slots[slot].joystick);
    slots[slot] = Slot{};
}

std::int32_t SdlInputDevices::scaleAxis(int value, int minimum, int maximum) {
    const std::int64_t v = std::clamp(value, kSdlAxisMin, kSdlAxisMax);
    const std::int64_t span = static_cast<std::int64_t>(maximum) - minimum;
    const std::int64_t scaled = minimum + (v - kSdlAxisMin) * span / (kSdlAxisMax - kSdlAxisMin);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(scaled, minimum, maximum));
}

std::uint32_t SdlInputDevices::hatToAngle(std::uint8_t hat) {
    switch (hat) {
        case SDL_HAT_UP:
            return 0;
        case SDL_HAT_RIGHTUP:
            return 4500;
        case SDL_HAT_RIGHT:
            return 9000;
        case SDL_HAT_RIGHTDOWN:
            return 13500;
        case SDL_HAT_DOWN:
            return 18000;
        case SDL_HAT_LEFTDOWN:
            return 22500;
        case SDL_HAT_LEFT:
            return 27000;
        case SDL_HAT_LEFTUP:
            return 31500;
        default:
            return JoystickState::kHatCentred;
    }
}

bool SdlInputDevices::readJoystick(int slot, JoystickState& state) {
    if (slot < 0 || slot >= kMaxJoysticks) return false;
    Slot& s = slots[slot];
    if (!s.joystick || !hasFocus()) {
        s.buttonPresses = 0;
        return false;
    }
    // The update may queue presses of its own: they are taken with the rest.
    SDL_JoystickUpdate();
    const std::uint32_t pressed = std::exchange(s.buttonPresses, 0u);
    if (!SDL_JoystickGetAttached(s.joystick)) return false;
    std::int32_t* axes[] = {&state.lX,  &state.lY,  &state.lZ,           &state.lRx,
                            &state.lRy, &state.lRz, &state.rglSlider[0], &state.rglSlider[1]};
    const int axisCount = SDL_JoystickNumAxes(s.joystick);
    for (int a = 0; a < 8; ++a) {
        // Axes past x and y report in the x axis's range.
        const int r = a < 2 ? a : 0;
        *axes[a] = a < axisCount ? scaleAxis(SDL_JoystickGetAxis(s.joystick, a), s.minimum[r], s.maximum[r]) : 0;
    }
    const int hatCount = SDL_JoystickNumHats(s.joystick);
    for (int h = 0; h < kHats; ++h)
        state.rgdwPOV[h] = h < hatCount ? hatToAngle(SDL_JoystickGetHat(s.joystick, h)) : JoystickState::kHatCentred;
    const int buttonCount = SDL_JoystickNumButtons(s.joystick);
    for (int b = 0; b < kButtons; ++b)
        state.rgbButtons[b] =
            (b < buttonCount && SDL_JoystickGetButton(s.joystick, b)) || ((pressed >> b) & 1u) ? kDown : 0;
    return true;
}
