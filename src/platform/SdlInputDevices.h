#pragma once
// The keyboard and joysticks through SDL: the keyboard state translated into set-1
// scan codes, and SDL's raw joystick interface (button numbers stay as the device
// reports them). Reads fail while the game's window lacks the keyboard focus, so a
// game in the background neither sees keys nor joystick moves.
//
// SDL's key and button states move on whenever its events are pumped, so a tap within
// one frame would leave them as they were; the presses are therefore also taken from
// the events as SDL queues them (on the main thread, in its event pump and joystick
// update) and kept until the next read.
//
// Lifetime: starts SDL's joystick subsystem on construction and stops it on
// destruction, closing any joystick still open. The window must outlive the object.
#include <array>
#include <bitset>

#include "platform/InputDevices.h"

struct _SDL_Joystick;
union SDL_Event;
class Window;

class SdlInputDevices : public InputDevices {
public:
    explicit SdlInputDevices(const Window* window);
    ~SdlInputDevices() override;
    SdlInputDevices(const SdlInputDevices&) = delete;
    SdlInputDevices& operator=(const SdlInputDevices&) = delete;

    std::int32_t openKeyboard() override;
    bool readKeyboard(std::uint8_t (&state)[kKeyboardBytes]) override;
    void acquireKeyboard() override {}

    int countControllers() override;
    std::string controllerInstanceName(int index) override;
    std::string controllerProductName(int index) override;
    std::int32_t openJoystick(int index, int slot) override;
    bool setAxisRange(int slot, int axis, int minimum, int maximum) override;
    void closeJoystick(int slot) override;
    bool readJoystick(int slot, JoystickState& state) override;
    void acquireJoystick(int) override {}

    // SDL's hat bits as hundredths of a degree clockwise from north.
    static std::uint32_t hatToAngle(std::uint8_t hat);
    // An SDL axis value (-32768 to 32767) in [minimum, maximum], clamped.
    static std::int32_t scaleAxis(int value, int minimum, int maximum);

private:
    struct Slot {
        _SDL_Joystick* joystick = nullptr;
        int minimum[2] = {-32768, -32768};  // per axis 0 (x) and 1 (y)
        int maximum[2] = {32767, 32767};
        std::uint32_t buttonPresses = 0;  // bit b: button b went down since the last read
    };

    bool hasFocus() const;
    // SDL's event watch: notes the key or button that `event` presses, if any. Returns 0.
    static int notePress(void* self, SDL_Event* event);

    const Window* window;
    bool bJoystickSubsystem = false;
    std::array<Slot, kMaxJoysticks> slots{};
    std::bitset<kKeyboardBytes> keyPresses;  // set-1 codes that went down since the last read
};
