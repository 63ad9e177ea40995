#pragma once
// A real engine object for input tests: SDL's offscreen video driver (or the X server,
// for end-to-end tests), a private data folder, and an input service whose keyboard and
// joysticks are scripted. Frames are stepped by hand, so frame numbers and frame
// lengths are exact. Display tests only: see InputTestEngine::available.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/Qor.h"
#include "inputaudio/QorInput.h"
#include "platform/InputDevices.h"
#include "platform/Window.h"

// Keyboard and joysticks as the test sets them.
class ScriptedDevices : public InputDevices {
public:
    struct Controller {
        std::string name;
        int axes = 2;
    };

    std::int32_t openKeyboard() override { return 0; }
    bool readKeyboard(std::uint8_t (&state)[kKeyboardBytes]) override {
        if (!keyboardReadable) return false;
        for (int i = 0; i < kKeyboardBytes; ++i) state[i] = keys[i];
        return true;
    }
    void acquireKeyboard() override { ++keyboardAcquires; }
    int countControllers() override { return static_cast<int>(controllers.size()); }
    std::string controllerInstanceName(int index) override { return controllers[index].name; }
    std::string controllerProductName(int index) override { return controllers[index].name + " pad"; }
    std::int32_t openJoystick(int index, int slot) override {
        slotController[slot] = index;
        return 0;
    }
    bool setAxisRange(int slot, int axis, int, int) override { return controllers[slotController[slot]].axes > axis; }
    void closeJoystick(int slot) override { ++closes[slot]; }
    bool readJoystick(int slot, JoystickState& state) override {
        if (!joystickReadable[slot]) return false;
        state = joysticks[slot];
        return true;
    }
    void acquireJoystick(int slot) override { ++joystickAcquires[slot]; }

    std::uint8_t keys[kKeyboardBytes] = {};
    bool keyboardReadable = true;
    int keyboardAcquires = 0;
    std::vector<Controller> controllers;
    int slotController[kMaxJoysticks] = {};
    JoystickState joysticks[kMaxJoysticks];
    bool joystickReadable[kMaxJoysticks] = {true, true, true, true};
    int joystickAcquires[kMaxJoysticks] = {};
    int closes[kMaxJoysticks] = {};
};

// The system's display and OpenGL libraries keep a few once-only allocations for the
// life of the process; the leak checker is told to overlook what they allocate while
// the window and the engine are set up. Absent without the sanitizers.
extern "C" void __lsan_disable() __attribute__((weak));
extern "C" void __lsan_enable() __attribute__((weak));

struct LeakCheckPause {
    LeakCheckPause() {
        if (__lsan_disable) __lsan_disable();
    }
    ~LeakCheckPause() {
        if (__lsan_enable) __lsan_enable();
    }
};

class InputTestEngine {
public:
    static bool available() { return std::getenv("TORVANE_DISPLAY_TESTS") != nullptr; }

    // `driver`: SDL video driver to use, "offscreen" unless the test drives a real X display.
    explicit InputTestEngine(const char* driver = "offscreen") {
        dataHome = std::filesystem::temp_directory_path() /
                   ("torvane-input-" + std::to_string(::getpid()) + "-" + std::to_string(++instances));
        std::filesystem::create_directories(dataHome);
        setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
        if (driver) setenv("SDL_VIDEODRIVER", driver, 1);
        {
            LeakCheckPause pause;
            videoUp = Window::initVideo();
            if (!videoUp) return;
            window = std::make_unique<Window>();
            if (!window->create("Torvane 2", 50, 50, 100, 100)) return;
        }
        new Qor(nullptr, window.get());
    }

    ~InputTestEngine() {
        delete qor;
        qor = nullptr;
        window.reset();
        if (videoUp) Window::shutdownVideo();
        std::error_code ignored;
        std::filesystem::remove_all(dataHome, ignored);
    }

    bool ready() const { return qor != nullptr; }

    // Replaces the engine's input service by one on scripted devices, built with the
    // settings as they are now, and selects its starting mode as the engine does.
    ScriptedDevices& scriptInput(std::vector<ScriptedDevices::Controller> controllers = {}) {
        auto owned = std::make_unique<ScriptedDevices>();
        owned->controllers = std::move(controllers);
        ScriptedDevices& devices = *owned;
        delete qor->pQorInput;
        qor->pQorInput = nullptr;
        qor->pQorInput = new QorInput(std::move(owned));
        qor->pQorInput->initInputMode();
        // Frame starts from 0, so frame lengths that are binary fractions stay exact.
        qor->timer.frameStart = qor->timer.previousFrameStart = 0.0;
        return devices;
    }

    QorInput& input() { return *qor->pQorInput; }

    // One worked frame's input step: the counter advances, the frame lasts `seconds`,
    // then the poll runs.
    void frame(double seconds = 0.02) {
        ++qor->frameCounter;
        qor->timer.previousFrameStart = qor->timer.frameStart;
        qor->timer.frameStart += seconds;
        qor->pQorInput->poll();
    }

private:
    static inline int instances = 0;
    std::filesystem::path dataHome;
    bool videoUp = false;
    std::unique_ptr<Window> window;
};

#define REQUIRE_INPUT_ENGINE(engine)                                            \
    if (!InputTestEngine::available()) GTEST_SKIP() << "display tests are off"; \
    InputTestEngine engine;                                                     \
    ASSERT_TRUE(engine.ready()) << SDL_GetError()
