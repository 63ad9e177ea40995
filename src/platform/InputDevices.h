#pragma once
// The keyboard and joystick layer under the input service: device discovery, axis
// ranges and immediate state reads. One implementation talks to the system
// (SdlInputDevices); tests put a scripted one in its place.
//
// Keyboard state is 256 bytes indexed by PC set-1 scan codes (extended keys + 0x80),
// bit 7 set while a key is down. Joystick slots are 0 to 3; a slot is filled by
// openJoystick and emptied by closeJoystick.
//
// A read reports a key or joystick button that went down since the previous read as
// down, even when it has been let go since: a tap shorter than the time between two
// reads is read down once, then up.
#include <cstdint>
#include <string>

#include "platform/JoystickState.h"

class InputDevices {
public:
    static constexpr int kMaxJoysticks = 4;
    static constexpr int kKeyboardBytes = 256;

    virtual ~InputDevices() = default;

    // Readies the keyboard; a negative result code on failure.
    virtual std::int32_t openKeyboard() = 0;
    // Fills `state` with the keys down now or pressed since the previous read. False when
    // the keyboard cannot be read (the window lacks the keyboard focus); `state` is then
    // left untouched and the presses kept so far are dropped.
    virtual bool readKeyboard(std::uint8_t (&state)[kKeyboardBytes]) = 0;
    // Asks for the keyboard again after a failed read.
    virtual void acquireKeyboard() = 0;

    // The attached game controllers, in the system's order; names in UTF-8.
    virtual int countControllers() = 0;
    virtual std::string controllerInstanceName(int index) = 0;
    virtual std::string controllerProductName(int index) = 0;
    // Opens controller `index` into `slot`; a negative result code on failure.
    virtual std::int32_t openJoystick(int index, int slot) = 0;
    // Sets the range that axis 0 (x) or 1 (y) of the joystick in `slot` reports in;
    // false when the device has no such axis.
    virtual bool setAxisRange(int slot, int axis, int minimum, int maximum) = 0;
    virtual void closeJoystick(int slot) = 0;
    // Updates the device's state, then reads it, buttons pressed since the previous read
    // included; false when it cannot be read (focus lost, device gone), leaving `state`
    // untouched and dropping the presses kept so far.
    virtual bool readJoystick(int slot, JoystickState& state) = 0;
    virtual void acquireJoystick(int slot) = 0;
};
