#pragma once
// A real engine object for input tests: SDL's offscreen video driver (or an X server,
// for end-to-end tests), a private data folder, and an input service on scripted
// devices. Frames are stepped by hand, so frame numbers and lengths are exact.
// Display tests only: REQUIRE_INPUT_ENGINE skips unless TORVANE_DISPLAY_TESTS is set.
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/Qor.h"
#include "inputaudio/QorInput.h"
#include "platform/InputDevices.h"
#include "platform/Window.h"

// Keyboard and joysticks as the test sets them; controller i has axisCount[i] axes.
struct ScriptedDevices : InputDevices {
    std::int32_t openKeyboard() override { return 0; }
    bool readKeyboard(std::uint8_t (&state)[kKeyboardBytes]) override {
        std::copy(std::begin(keys), std::end(keys), state);
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

// The display libraries keep a few once-only allocations for the life of the process;
// the leak checker overlooks what they allocate while the window is set up.
extern "C" void __lsan_disable() __attribute__((weak));
extern "C" void __lsan_enable() __attribute__((weak));

class InputTestEngine {
public:
    static bool available() { return std::getenv("TORVANE_DISPLAY_TESTS") != nullptr; }

    explicit InputTestEngine(const char* driver = "offscreen") {
        dataHome = std::filesystem::temp_directory_path() / ("torvane-input-" + std::to_string(getpid()));
        std::filesystem::create_directories(dataHome);
        setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
        setenv("SDL_VIDEODRIVER", driver, 1);
        if (__lsan_disable) __lsan_disable();
        videoUp = Window::initVideo();
        const bool windowUp = videoUp && window.create("Torvane 2", 50, 50, 100, 100);
        if (__lsan_enable) __lsan_enable();
        if (windowUp) new Qor(nullptr, &window);
    }

    ~InputTestEngine() {
        delete qor;
        qor = nullptr;
        window.destroy();
        if (videoUp) Window::shutdownVideo();
        std::error_code ignored;
        std::filesystem::remove_all(dataHome, ignored);
    }

    bool ready() const { return qor != nullptr; }

    // Rebuilds the input service on scripted devices with the settings as they are now.
    ScriptedDevices& scriptInput(std::vector<int> axisCount = {}) {
        auto owned = std::make_unique<ScriptedDevices>();
        owned->axisCount = std::move(axisCount);
        ScriptedDevices& devices = *owned;
        delete qor->pQorInput;
        qor->pQorInput = new QorInput(std::move(owned));
        qor->pQorInput->initInputMode();
        // From 0, frame lengths that are binary fractions add up exactly.
        qor->timer.frameStart = qor->timer.previousFrameStart = 0.0;
        return devices;
    }

    QorInput& input() { return *qor->pQorInput; }

    // One worked frame's input step: the counter advances, the frame lasts `seconds`.
    void frame(double seconds = 0.0625) {
        ++qor->frameCounter;
        qor->timer.previousFrameStart = qor->timer.frameStart;
        qor->timer.frameStart += seconds;
        qor->pQorInput->poll();
    }

private:
    std::filesystem::path dataHome;
    bool videoUp = false;
    Window window;
};

#define REQUIRE_INPUT_ENGINE(engine)                                            \
    if (!InputTestEngine::available()) GTEST_SKIP() << "display tests are off"; \
    InputTestEngine engine;                                                     \
    ASSERT_TRUE(engine.ready()) << SDL_GetError()
