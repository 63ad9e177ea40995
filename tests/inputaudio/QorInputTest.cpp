#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>

#include "InputTestEngine.h"
#include "engine/MemoryIniFile.h"
#include "engine/QorBase.h"
#include "engine/WMhooks.h"
#include "inputaudio/QorInput.h"
#include "inputaudio/TouchPoint.h"
#include "render/QorGraphics.h"

namespace {

constexpr std::uint8_t kDown = 0x80;
constexpr int kA = 30, kS = 31, kF10 = 68, kF11 = 87;

int joystickCode(int j, int offset) { return 256 + 48 * j + offset; }

bool down(const QorInput& in, int code) { return in.keyState[code] & kDown; }

TEST(QorInputTest, MissingSettingsAreWrittenWithDefaultsAndPresentOnesUsed) {
    REQUIRE_INPUT_ENGINE(engine);
    MemoryIniFile& s = *qor->pSettings;
    EXPECT_TRUE(s.getBool(u"QorInput", u"bTrackKeyboard"));
    EXPECT_TRUE(s.getBool(u"QorInput", u"bTrackJoystick"));
    EXPECT_DOUBLE_EQ(s.getDouble(u"QorInput", u"joystickDeadZone"), 0.2);
    EXPECT_DOUBLE_EQ(s.getDouble(u"QorInput", u"repeatRate"), 0.1);
    EXPECT_DOUBLE_EQ(s.getDouble(u"QorInput", u"repeatDelay"), 0.25);

    s.setDouble(u"QorInput", u"repeatDelay", 0.5);
    s.setDouble(u"QorInput", u"joystickDeadZone", -0.3);  // hand-edited nonsense
    engine.scriptInput();
    EXPECT_DOUBLE_EQ(engine.input().repeatDelay, 0.5);
    EXPECT_DOUBLE_EQ(engine.input().joystickDeadZone, 0.0);
}

TEST(QorInputTest, KeysAreSeenPerPollAndPressedOncePerPress) {
    REQUIRE_INPUT_ENGINE(engine);
    ScriptedDevices& dev = engine.scriptInput();
    QorInput& in = engine.input();

    dev.keys[kA] = kDown;
    engine.frame();
    EXPECT_TRUE(down(in, kA));
    EXPECT_TRUE(in.wasPressed(kA));
    engine.frame();
    EXPECT_TRUE(down(in, kA));
    EXPECT_FALSE(in.wasPressed(kA));
    dev.keys[kA] = 0;
    engine.frame();
    EXPECT_FALSE(down(in, kA));
    EXPECT_TRUE(in.previousKeyState[kA] & kDown);
    EXPECT_FALSE(in.wasPressed(-1));
    EXPECT_FALSE(in.wasPressed(456));
}

TEST(QorInputTest, FailedKeyboardReadKeepsTheLastStateAndAcquiresAgain) {
    REQUIRE_INPUT_ENGINE(engine);
    ScriptedDevices& dev = engine.scriptInput();
    QorInput& in = engine.input();
    dev.keys[kA] = dev.keys[42] = kDown;
    engine.frame();
    ASSERT_EQ(in.modifierState, QorInput::kShift);

    dev.keyboardReadable = false;
    dev.keys[kA] = dev.keys[42] = 0;
    engine.frame();
    EXPECT_TRUE(down(in, kA));
    EXPECT_EQ(in.modifierState, QorInput::kShift);
    EXPECT_EQ(dev.keyboardAcquires, 1);
}

TEST(QorInputTest, ModifierStateFromEitherKeyOfEachPair) {
    REQUIRE_INPUT_ENGINE(engine);
    ScriptedDevices& dev = engine.scriptInput();
    struct Case {
        std::vector<int> keys;
        int expected;
    };
    const Case cases[] = {
        {{}, 0},
        {{42}, 1},
        {{54}, 1},
        {{29}, 2},
        {{157}, 2},
        {{56}, 3},
        {{184}, 3},
        {{29, 56}, 4},
        {{157, 184}, 4},
        {{29, 54}, 5},
        {{184, 42}, 6},
        {{157, 56, 42}, 7},
        {{29, 157, 56, 184, 42, 54}, 7},
    };
    for (const Case& c : cases) {
        std::fill(std::begin(dev.keys), std::end(dev.keys), 0);
        for (int k : c.keys) dev.keys[k] = kDown;
        engine.frame();
        EXPECT_EQ(engine.input().modifierState, c.expected) << "first key " << (c.keys.empty() ? 0 : c.keys[0]);
    }
}

TEST(QorInputTest, KeyRepeatAfterTheDelayThenAtTheRate) {
    REQUIRE_INPUT_ENGINE(engine);
    MemoryIniFile& s = *qor->pSettings;
    s.setDouble(u"QorInput", u"repeatDelay", 0.25);
    s.setDouble(u"QorInput", u"repeatRate", 0.125);
    ScriptedDevices& dev = engine.scriptInput();

    // 16 frames a second, exact in binary: the press, then 0.25 s later, then every 0.125 s.
    dev.keys[kA] = kDown;
    std::vector<int> repeatedIn;
    for (int frame = 1; frame <= 12; ++frame) {
        engine.frame(0.0625);
        if (int code = engine.input().getRepeatedKey()) {
            EXPECT_EQ(code, kA);
            repeatedIn.push_back(frame);
        }
    }
    EXPECT_EQ(repeatedIn, (std::vector<int>{1, 5, 7, 9, 11}));

    dev.keys[kA] = 0;
    engine.frame(0.0625);
    EXPECT_EQ(engine.input().getRepeatedKey(), 0);
}

TEST(QorInputTest, LowestNewCodeWinsAndCodeZeroNeverRepeats) {
    REQUIRE_INPUT_ENGINE(engine);
    ScriptedDevices& dev = engine.scriptInput();
    dev.keys[kS] = dev.keys[kA] = kDown;
    engine.frame();
    EXPECT_EQ(engine.input().getRepeatedKey(), kA);

    engine.input().keyState[0] = kDown;
    engine.input().previousKeyState[0] = 0;
    engine.input().keyState[40] = kDown;
    engine.input().previousKeyState[40] = 0;
    EXPECT_EQ(engine.input().getRepeatedKey(), 0);
}

TEST(QorInputTest, DebugKeysWarpTheRepeatTimerOnlyWhenUnlocked) {
    REQUIRE_INPUT_ENGINE(engine);
    ScriptedDevices& dev = engine.scriptInput();
    QorInput& in = engine.input();
    struct Case {
        bool locked;
        int key;
        double expected;
    };
    const Case cases[] = {
        {true, kF11, 1.0 - 0.0625},  {true, kF10, 1.0 - 0.0625},   {false, 0, 1.0 - 0.0625},
        {false, kF11, 1.0 - 0.3125}, {false, kF10, 1.0 - 0.00625},
    };
    for (const Case& c : cases) {
        qor->bDebugLocked = c.locked;
        std::fill(std::begin(dev.keys), std::end(dev.keys), 0);
        dev.keys[c.key] = kDown;
        engine.frame();  // the key is seen as of this poll; the warp uses it in the next
        in.repeatTimer = 1.0;
        engine.frame(0.0625);
        EXPECT_DOUBLE_EQ(in.repeatTimer, c.expected) << c.locked << " " << c.key;
    }
}

TEST(QorInputTest, StickDeadZoneAndDirectionCodes) {
    REQUIRE_INPUT_ENGINE(engine);
    ScriptedDevices& dev = engine.scriptInput({{"pad"}});
    QorInput& in = engine.input();
    ASSERT_EQ(in.numJoysticks, 1);
    struct Case {
        int lX, lY;
        float x, y;
        bool up, downDir, left, right;
    };
    const Case cases[] = {
        {0, 0, 0.0f, 0.0f, false, false, false, false},
        {200, -200, 0.0f, 0.0f, false, false, false, false},  // inside the dead zone
        {600, 0, 0.5f, 0.0f, false, false, false, false},     // exactly the threshold
        {610, 0, 0.5125f, 0.0f, false, false, false, true},
        {-1000, 0, -1.0f, 0.0f, false, false, true, false},
        {0, -1000, 0.0f, 1.0f, true, false, false, false},  // device y grows downwards
        {0, 700, 0.0f, -0.625f, false, true, false, false},
    };
    for (const Case& c : cases) {
        dev.joysticks[0].lX = c.lX;
        dev.joysticks[0].lY = c.lY;
        engine.frame();
        const Vector3 axes = in.getJoystickAxes(0);
        EXPECT_FLOAT_EQ(axes.x, c.x) << c.lX;
        EXPECT_FLOAT_EQ(axes.y, c.y) << c.lY;
        EXPECT_EQ(down(in, joystickCode(0, 0)), c.up) << c.lX << "," << c.lY;
        EXPECT_EQ(down(in, joystickCode(0, 1)), c.downDir) << c.lX << "," << c.lY;
        EXPECT_EQ(down(in, joystickCode(0, 2)), c.left) << c.lX << "," << c.lY;
        EXPECT_EQ(down(in, joystickCode(0, 3)), c.right) << c.lX << "," << c.lY;
    }
    const Vector3 none = in.getJoystickAxes(1);
    EXPECT_EQ(none.x, 0.0f);
    EXPECT_EQ(none.y, 0.0f);
}

TEST(QorInputTest, HatAnglesCountInBothDirectionsOfADiagonal) {
    REQUIRE_INPUT_ENGINE(engine);
    ScriptedDevices& dev = engine.scriptInput({{"pad"}});
    QorInput& in = engine.input();
    struct Case {
        std::uint32_t pov;
        float x, y;
    };
    const Case cases[] = {
        {0, 0, 1},      {4500, 1, 1},   {9000, 1, 0},
        {13500, 1, -1}, {18000, 0, -1}, {22500, -1, -1},
        {27000, -1, 0}, {31500, -1, 1}, {JoystickState::kHatCentred, 0, 0},
        {6000, 1, 0},   {12000, 1, 0},
    };
    for (const Case& c : cases) {
        dev.joysticks[0].rgdwPOV[0] = c.pov;
        engine.frame();
        const Vector3 hat = in.getJoystickHat(0);
        EXPECT_EQ(hat.x, c.x) << c.pov;
        EXPECT_EQ(hat.y, c.y) << c.pov;
        EXPECT_EQ(down(in, joystickCode(0, 0)), c.y > 0) << c.pov;
        EXPECT_EQ(down(in, joystickCode(0, 3)), c.x > 0) << c.pov;
    }
    // Two hats up clamp to 1; a hat up against the stick down cancels.
    dev.joysticks[0].rgdwPOV[0] = dev.joysticks[0].rgdwPOV[1] = 0;
    EXPECT_EQ(in.getJoystickHat(0).y, 0.0f);  // not polled yet
    engine.frame();
    EXPECT_EQ(in.getJoystickHat(0).y, 1.0f);
    dev.joysticks[0].rgdwPOV[1] = JoystickState::kHatCentred;
    dev.joysticks[0].lY = 1000;
    engine.frame();
    EXPECT_FALSE(down(in, joystickCode(0, 0)));
    EXPECT_FALSE(down(in, joystickCode(0, 1)));
}

TEST(QorInputTest, JoystickButtonsBecomeCodesAndAHeldOneIsPressedOnce) {
    REQUIRE_INPUT_ENGINE(engine);
    qor->pSettings->setBool(u"QorInput", u"bTrackKeyboard", false);
    ScriptedDevices& dev = engine.scriptInput({{"one"}, {"two"}});
    QorInput& in = engine.input();
    dev.joysticks[1].rgbButtons[0] = kDown;
    dev.joysticks[1].rgbButtons[31] = kDown;
    engine.frame();
    EXPECT_TRUE(in.wasPressed(joystickCode(1, 16)));
    EXPECT_TRUE(in.wasPressed(joystickCode(1, 47)));
    EXPECT_FALSE(down(in, joystickCode(0, 16)));
    // Keyboard tracking is off, yet the previous state moves on with every poll.
    engine.frame();
    EXPECT_TRUE(down(in, joystickCode(1, 16)));
    EXPECT_FALSE(in.wasPressed(joystickCode(1, 16)));

    // A failed read keeps the codes and asks for the device again.
    dev.joystickReadable[1] = false;
    dev.joysticks[1].rgbButtons[0] = 0;
    engine.frame();
    EXPECT_TRUE(down(in, joystickCode(1, 16)));
    EXPECT_EQ(dev.joystickAcquires[1], 1);
}

TEST(QorInputTest, EnumerationDropsDevicesWithoutTwoAxesAndStopsAtFour) {
    REQUIRE_INPUT_ENGINE(engine);
    ScriptedDevices& dev = engine.scriptInput({{"wheel", 1}, {"a"}, {"knob", 0}, {"b"}, {"c"}, {"d"}, {"e"}});
    QorInput& in = engine.input();
    EXPECT_EQ(in.numJoysticks, 4);
    EXPECT_EQ(dev.slotController[0], 1);
    EXPECT_EQ(dev.slotController[3], 5);
    EXPECT_EQ(dev.closes[0], 1);  // the wheel, tried in slot 0
    EXPECT_EQ(dev.closes[1], 1);  // the knob, tried in slot 1 after "a" took slot 0

    qor->pSettings->setBool(u"QorInput", u"bTrackJoystick", false);
    ScriptedDevices& off = engine.scriptInput({{"a"}});
    off.joysticks[0].rgbButtons[0] = kDown;
    engine.frame();
    EXPECT_EQ(engine.input().numJoysticks, 0);
    for (int code = 256; code < 456; ++code) EXPECT_EQ(engine.input().keyState[code], 0) << code;
}

TEST(QorInputTest, MouseButtonLatchKeepsAQuickClickForOneFrame) {
    REQUIRE_INPUT_ENGINE(engine);
    engine.scriptInput();
    QorInput& in = engine.input();
    in.mouseButtonDown(1);
    in.mouseButtonUp(1);
    engine.frame();
    EXPECT_EQ(in.mouseButtonState[1], 1);
    engine.frame();
    EXPECT_EQ(in.mouseButtonState[1], 0);
    EXPECT_EQ(in.previousMouseButtonState[1], 1);

    in.mouseButtonDown(0);
    engine.frame();
    engine.frame();
    EXPECT_EQ(in.mouseButtonState[0], 1);
    in.mouseButtonUp(0);  // a later frame than the press: plain release
    engine.frame();
    EXPECT_EQ(in.mouseButtonState[0], 0);

    in.mouseButtonDown(7);  // no such button
    in.mouseButtonDown(-1);
    engine.frame();
    for (int b = 0; b < 4; ++b) EXPECT_EQ(in.mouseButtonState[b], 0);
}

// Counts the input-mode notifications that reach engine objects.
struct ModeListener : QorBase {
    void onInputModeChange() override { ++calls; }
    int calls = 0;
};

TEST(QorInputTest, ModeSwitchNotifiesOnlyOnChange) {
    REQUIRE_INPUT_ENGINE(engine);
    engine.scriptInput();
    QorInput& in = engine.input();
    ModeListener listener;
    ASSERT_EQ(in.inputMode, QorInput::kModeTouch);
    EXPECT_EQ(in.pointerPosition.x, 400.0f);
    EXPECT_EQ(in.pointerPosition.y, 240.0f);
    in.setInputMode(QorInput::kModeTouch);
    EXPECT_EQ(listener.calls, 0);
    in.setInputMode(QorInput::kModeMouse);
    EXPECT_EQ(listener.calls, 1);
    EXPECT_EQ(in.inputMode, QorInput::kModeMouse);
}

TEST(QorInputTest, MousePointerFollowsTheMouseThroughTheViewportWithTheWheelAsZ) {
    REQUIRE_INPUT_ENGINE(engine);
    engine.scriptInput();
    QorInput& in = engine.input();
    // A wide window letterboxed left and right: 1000x480 pixels, viewport 800 wide at 100.
    qor->pQorGraphics->viewportLeft = 100;
    in.setInputMode(QorInput::kModeMouse);
    in.setRawMousePos(500, 120);
    in.addWheelDelta(240);
    engine.frame();
    EXPECT_FLOAT_EQ(in.pointerPosition.x, 400.0f);
    EXPECT_FLOAT_EQ(in.pointerPosition.y, 360.0f);
    EXPECT_FLOAT_EQ(in.pointerPosition.z, 240.0f);
    in.addWheelDelta(-120);
    in.setRawMousePos(20, 600);  // in the left bar, below the window: the edges
    engine.frame();
    EXPECT_FLOAT_EQ(in.pointerPosition.x, 0.0f);
    EXPECT_FLOAT_EQ(in.pointerPosition.y, 0.0f);
    EXPECT_FLOAT_EQ(in.pointerDelta.z, -120.0f);
}

TEST(QorInputTest, TouchPointerFollowsTheFirstContactAndStaysWithoutOne) {
    REQUIRE_INPUT_ENGINE(engine);
    engine.scriptInput();
    QorInput& in = engine.input();
    in.setMousePos(123.0f, 45.0f, 0.0f);
    engine.frame();
    EXPECT_EQ(in.pointerPosition.x, 123.0f);
    EXPECT_EQ(in.pointerPosition.y, 45.0f);
    EXPECT_EQ(in.pointerDelta.x, 0.0f);

    auto* contact = new TouchPoint();
    contact->rawPosition = {200.0f, 80.0f, 0.0f};
    contact->downFrame = qor->frameCounter + 1;
    in.addTouch(contact);
    engine.frame();
    EXPECT_FLOAT_EQ(in.pointerPosition.x, 200.0f);
    EXPECT_FLOAT_EQ(in.pointerPosition.y, 400.0f);
    EXPECT_FLOAT_EQ(in.pointerDelta.x, 77.0f);
    EXPECT_TRUE(in.isTouchPressed(0));
    EXPECT_TRUE(in.anyTouchPressed());
    EXPECT_FALSE(in.isTouchPressed(1));
    EXPECT_FALSE(in.isTouchHeld(1));
    EXPECT_EQ(in.getTouchOwner(), nullptr);
    contact->handled = &in;
    EXPECT_EQ(in.getTouchOwner(), &in);
}

TEST(QorInputTest, PausingDropsContactsAndButtonsButNothingElseDoes) {
    REQUIRE_INPUT_ENGINE(engine);
    engine.scriptInput();
    QorInput& in = engine.input();
    in.addTouch(new TouchPoint());
    in.mouseButtonDown(0);
    engine.frame();
    engine.frame();
    in.onQORmodeChange(Qor::MODE_PAUSED, Qor::MODE_FROZEN);
    EXPECT_NE(in.getTouch(0), nullptr);
    in.onQORmodeChange(Qor::MODE_OK, Qor::MODE_PAUSED);
    EXPECT_EQ(in.getTouch(0), nullptr);
    EXPECT_EQ(in.mouseButtonState[0], 0);
    EXPECT_EQ(in.previousMouseButtonState[0], 0);
    EXPECT_EQ(in.mouseButtonLatch[0], 1);  // still held: the next poll sees it again
}

TEST(QorInputTest, SyntheticClickIsPressedThenReleasedAtThePointer) {
    REQUIRE_INPUT_ENGINE(engine);
    engine.scriptInput();
    QorInput& in = engine.input();
    in.setMousePos(100.0f, 120.0f, 0.0f);
    in.addMouseContact();
    TouchPoint* click = in.getTouch(0);
    ASSERT_NE(click, nullptr);
    EXPECT_EQ(click->tag, -1);
    EXPECT_FLOAT_EQ(click->rawPosition.y, 360.0f);
    engine.frame();
    EXPECT_TRUE(click->bPressed);
    EXPECT_FLOAT_EQ(click->pos.x, 100.0f);
    EXPECT_FLOAT_EQ(click->pos.y, 120.0f);
    engine.frame();
    EXPECT_TRUE(click->bReleased);
    EXPECT_TRUE(click->bTap);
    engine.frame();
    EXPECT_EQ(in.getTouch(0), nullptr);
}

// A virtual X server of the test's own, so that no other test's window can take the
// focus or the clicks while the synthetic input runs.
class PrivateXServer {
public:
    // Starts Xvfb and waits until it accepts clients; `display` stays empty on failure.
    PrivateXServer() {
        int fds[2];
        if (pipe(fds) != 0) return;
        pid = fork();
        if (pid == 0) {
            close(fds[0]);
            const int devNull = open("/dev/null", O_WRONLY);
            if (devNull >= 0) dup2(devNull, 2);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        display = readDisplayNumber(fds[0]);
        close(fds[0]);
    }

    ~PrivateXServer() {
        if (pid <= 0) return;
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }

    std::string display;  // ":N", empty when the server did not start

private:
    static std::string readDisplayNumber(int fd) {
        std::string number;
        pollfd p{fd, POLLIN, 0};
        char c = 0;
        while (poll(&p, 1, 10000) > 0 && read(fd, &c, 1) == 1 && c != '\n') number += c;
        return c == '\n' && !number.empty() ? ":" + number : std::string();
    }

    pid_t pid = -1;
};

// End to end: a real window on a virtual X server, synthetic key presses and clicks
// from xdotool, and the engine's own frames.
class QorInputEndToEnd : public ::testing::Test {
protected:
    // Records the typed characters on their way to the input service, which forgets
    // them at the end of every frame.
    struct RecordingHooks : WMhooks {
        void character(char16_t c) override {
            typed += c;
            WMhooks::character(c);
        }
        std::u16string typed;
    };

    void SetUp() override {
        if (!InputTestEngine::available()) GTEST_SKIP() << "display tests are off";
        if (std::system("command -v xdotool >/dev/null 2>&1 && command -v Xvfb >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "xdotool or Xvfb is not installed";
        server = std::make_unique<PrivateXServer>();
        ASSERT_FALSE(server->display.empty()) << "Xvfb did not start";
        setenv("DISPLAY", server->display.c_str(), 1);
        engine = std::make_unique<InputTestEngine>("x11");
        ASSERT_TRUE(engine->ready()) << SDL_GetError();
        ASSERT_TRUE(frameUntil([] { return true; }));
        xdotoolOnWindow("windowfocus --sync %1");
        ASSERT_TRUE(frameUntil([] { return SDL_GetKeyboardFocus() == qor->hWindowHandle->handle(); }))
            << "the window never got the keyboard focus";
    }

    void TearDown() override {
        engine.reset();
        server.reset();
    }

    // Runs xdotool; keys and buttons go through the X server's test extension, like
    // real devices, to whichever window has the focus or the pointer.
    void xdotool(const std::string& command) {
        const std::string line = "xdotool " + command;
        ASSERT_EQ(std::system(line.c_str()), 0) << line;
    }
    // Runs an xdotool command on the game's window, which "%1" names.
    void xdotoolOnWindow(const std::string& command) { xdotool("search --sync --name '^Torvane 2$' " + command); }

    // Delivers the window's events and runs engine frames until `done` holds, for at
    // most three seconds.
    bool frameUntil(const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (std::chrono::steady_clock::now() < deadline) {
            while (qor->hWindowHandle->dispatchOneEvent(hooks)) {
            }
            qor->frame(nullptr);
            if (done()) return true;
        }
        return false;
    }

    QorInput& input() { return *qor->pQorInput; }

    std::unique_ptr<PrivateXServer> server;
    std::unique_ptr<InputTestEngine> engine;
    RecordingHooks hooks;
};

TEST_F(QorInputEndToEnd, KeysReachTheInputCodes) {
    xdotool("keydown a");
    ASSERT_TRUE(frameUntil([&] { return down(input(), kA); }));
    EXPECT_TRUE(input().wasPressed(kA));
    EXPECT_NE(hooks.typed.find(u'a'), std::u16string::npos);
    ASSERT_TRUE(frameUntil([&] { return !input().wasPressed(kA); }));
    EXPECT_TRUE(down(input(), kA));
    xdotool("keyup a");
    ASSERT_TRUE(frameUntil([&] { return !down(input(), kA); }));

    // Extended keys land on their + 0x80 codes.
    const std::pair<const char*, int> extended[] = {{"Control_R", 157}, {"Up", 200}, {"KP_Enter", 156}};
    for (const auto& [key, code] : extended) {
        xdotool(std::string("keydown ") + key);
        EXPECT_TRUE(frameUntil([&, code = code] { return down(input(), code); })) << key;
        xdotool(std::string("keyup ") + key);
        EXPECT_TRUE(frameUntil([&, code = code] { return !down(input(), code); })) << key;
    }

    xdotool("keydown Shift_R");
    ASSERT_TRUE(frameUntil([&] { return down(input(), 54); }));
    EXPECT_EQ(input().modifierState, QorInput::kShift);
    xdotool("keyup Shift_R");
    ASSERT_TRUE(frameUntil([&] { return input().modifierState == QorInput::kNoModifier; }));
}

TEST_F(QorInputEndToEnd, ClicksBecomeContactsAtTheMappedPosition) {
    // The first mouse movement leaves touch mode and puts the cursor at the pointer.
    xdotoolOnWindow("mousemove --window %1 100 100");
    ASSERT_TRUE(frameUntil([&] { return input().inputMode == QorInput::kModeMouse; }));
    xdotoolOnWindow("mousemove --window %1 200 120");
    ASSERT_TRUE(frameUntil([&] { return input().rawMousePosition == std::array<int, 2>{200, 120}; }));
    EXPECT_FLOAT_EQ(input().pointerPosition.x, 200.0f);
    EXPECT_FLOAT_EQ(input().pointerPosition.y, 360.0f);

    xdotool("mousedown 1");
    ASSERT_TRUE(frameUntil([&] { return input().isTouchPressed(0); }));
    const TouchPoint* contact = input().getTouch(0);
    EXPECT_EQ(contact->tag, 0);
    EXPECT_FLOAT_EQ(contact->pos.x, 200.0f);
    EXPECT_FLOAT_EQ(contact->pos.y, 360.0f);
    EXPECT_EQ(input().mouseButtonState[0], 1);
    ASSERT_TRUE(frameUntil([&] { return !input().isTouchPressed(0); }));
    EXPECT_TRUE(input().isTouchHeld(0));
    xdotool("mouseup 1");
    ASSERT_TRUE(frameUntil([&] { return input().getTouch(0) && input().getTouch(0)->bReleased; }));
    EXPECT_TRUE(input().getTouch(0)->bTap);
    ASSERT_TRUE(frameUntil([&] { return input().getTouch(0) == nullptr; }));
    EXPECT_EQ(input().mouseButtonState[0], 0);

    xdotool("click 4");  // one notch of the wheel, away from the user
    ASSERT_TRUE(frameUntil([&] { return input().wheelSum != 0; }));
    EXPECT_EQ(input().wheelSum, 120);
    ASSERT_TRUE(frameUntil([&] { return input().pointerPosition.z == 120.0f; }));
}

}  // namespace
