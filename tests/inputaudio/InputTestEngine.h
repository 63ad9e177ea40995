#pragma once
// The engine and devices under the input tests.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "engine/MemoryIniFile.h"
#include "engine/Qor.h"
#include "engine/TimeKeeper.h"
#include "inputaudio/MouseDispatcher.h"
#include "inputaudio/QorInput.h"
#include "platform/InputDevices.h"

// Keyboard and joysticks as the test sets them; controller i has axisCount[i] axes.
struct ScriptedDevices : InputDevices {
    std::int32_t openKeyboard() override { return 0; }
    bool readKeyboard(std::uint8_t (&state)[kKeyboardBytes]) override {
        if (readable) std::copy(std::begin(keys), std::end(keys), state);
        return readable;
    }
    void acquireKeyboard() override { ++acquires; }
    int countControllers() override { return static_cast<int>(axisCount.size()); }
    std::string controllerInstanceName(int index) override { return "pad " + std::to_string(index); }
    std::string controllerProductName(int) override { return "pad"; }
    std::int32_t openJoystick(int index, int slot) override { return slotController[slot] = index, 0; }
    bool setAxisRange(int slot, int axis, int, int) override { return axisCount[slotController[slot]] > axis; }
    void closeJoystick(int slot) override { ++closes[slot]; }
    bool readJoystick(int slot, JoystickState& state) override {
        return readable ? (state = joysticks[slot], true) : false;
    }
    void acquireJoystick(int) override { ++acquires; }

    std::uint8_t keys[kKeyboardBytes] = {};
    bool readable = true;  // false: every read fails, as without the focus
    int acquires = 0;
    std::vector<int> axisCount;
    int slotController[kMaxJoysticks] = {};
    int closes[kMaxJoysticks] = {};
    JoystickState joysticks[kMaxJoysticks];
};

// An engine object without services, with in-memory settings and an input service on
// scripted devices; no display needed. Frames are stepped by hand, so frame numbers and
// frame lengths are exact. The viewport is the default 800x480 one.
class InputTestEngine {
public:
    InputTestEngine() {
        new Qor(Qor::Headless{});
        qor->pSettings = new MemoryIniFile(std::vector<std::uint8_t>{});
        qor->pTimeKeeper = new TimeKeeper();
        qor->pMouseDispatcher = new MouseDispatcher();
    }
    ~InputTestEngine() { delete qor; }
    InputTestEngine(const InputTestEngine&) = delete;
    InputTestEngine& operator=(const InputTestEngine&) = delete;

    // Rebuilds the input service on scripted devices with the settings as they are now.
    ScriptedDevices& scriptInput(std::vector<int> axisCount = {}) {
        auto owned = std::make_unique<ScriptedDevices>();
        owned->axisCount = std::move(axisCount);
        ScriptedDevices& devices = *owned;
        delete qor->pQorInput;
        qor->pQorInput = new QorInput(std::move(owned));
        qor->pQorInput->initInputMode();
        return devices;
    }

    QorInput& input() { return *qor->pQorInput; }

    // One worked frame's input step: the counter advances, the frame lasts `seconds`.
    // Frame starts count from 0, so lengths that are binary fractions add up exactly.
    void frame(double seconds = 0.0625) {
        ++qor->frameCounter;
        qor->timer.previousFrameStart = qor->timer.frameStart;
        qor->timer.frameStart += seconds;
        qor->pQorInput->poll();
    }
};
