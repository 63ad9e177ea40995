#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>

#include "engine/MemoryIniFile.h"
#include "engine/Strings.h"
#include "engine/SystemHelpers.h"
#include "inputaudio/InputTestEngine.h"
#include "inputaudio/QorInput.h"
#include "inputaudio/TouchPoint.h"
#include "inputaudio/WMhooks.h"
#include "platform/Window.h"
#include "render/QorGraphics.h"
#include "runtime/Console.h"
#include "support/KeyTap.h"
#include "support/ScopedVariable.h"
#include "support/TempFolder.h"
#include "support/TestVideo.h"
#include "support/XServer.h"
#include "support/Xdotool.h"

namespace {

constexpr std::uint8_t kDown = 0x80;
constexpr int kA = 30, kS = 31, kGrave = 41, kLeftShift = 42;

bool down(int code) { return qor->pQorInput->keyState[code] & kDown; }

TEST(QorInputTest, MissingSettingsGetDefaultsAndNonsenseFallsBackToTheDefault) {
    InputTestEngine engine;
    MemoryIniFile& s = *qor->pSettings;
    s.setDouble(u"QorInput", u"joystickDeadZone", -0.3);  // hand-edited nonsense
    s.setString(u"QorInput", u"repeatRate", u"nan");
    engine.scriptInput();
    EXPECT_DOUBLE_EQ(s.getDouble(u"QorInput", u"repeatDelay"), 0.25);
    EXPECT_DOUBLE_EQ(s.getDouble(u"QorInput", u"repeatRate"), 0.1);
    EXPECT_TRUE(s.getBool(u"QorInput", u"bTrackJoystick"));
    EXPECT_DOUBLE_EQ(engine.input().joystickDeadZone, 0.2);
    EXPECT_DOUBLE_EQ(s.getDouble(u"QorInput", u"joystickDeadZone"), 0.2);
    s.setDouble(u"QorInput", u"repeatDelay", 0.5);
    engine.scriptInput();
    EXPECT_DOUBLE_EQ(engine.input().repeatDelay, 0.5);
}

TEST(QorInputTest, KeysArePressedOnceAndAFailedReadKeepsTheLastState) {
    InputTestEngine engine;
    ScriptedDevices& dev = engine.scriptInput();
    dev.keys[kA] = kDown;
    engine.frame();
    EXPECT_TRUE(engine.input().wasPressed(kA));
    engine.frame();
    EXPECT_TRUE(down(kA));
    EXPECT_FALSE(engine.input().wasPressed(kA));
    dev.keys[kA] = 0;
    dev.readable = false;
    engine.frame();
    EXPECT_TRUE(down(kA));
    EXPECT_EQ(dev.acquires, 1);
    EXPECT_FALSE(engine.input().wasPressed(456));
}

TEST(QorInputTest, ModifierStateFromEitherKeyOfEachPair) {
    InputTestEngine engine;
    ScriptedDevices& dev = engine.scriptInput();
    const std::pair<std::vector<int>, int> cases[] = {
        {{}, 0},    {{42}, 1},      {{54}, 1},      {{29}, 2},     {{157}, 2},         {{56}, 3},
        {{184}, 3}, {{29, 184}, 4}, {{157, 42}, 5}, {{56, 54}, 6}, {{157, 56, 42}, 7},
    };
    for (const auto& [keys, expected] : cases) {
        std::fill(std::begin(dev.keys), std::end(dev.keys), 0);
        for (int k : keys) dev.keys[k] = kDown;
        engine.frame();
        EXPECT_EQ(engine.input().modifierState, expected) << expected;
    }
}

TEST(QorInputTest, KeyRepeatAfterTheDelayThenAtTheRateLowestCodeFirst) {
    InputTestEngine engine;
    qor->pSettings->setDouble(u"QorInput", u"repeatRate", 0.125);
    ScriptedDevices& dev = engine.scriptInput();
    dev.keys[kS] = dev.keys[kA] = kDown;
    std::vector<int> repeatedIn;  // 16 frames a second: at the press, after 0.25 s, then every 0.125 s
    for (int frame = 1; frame <= 12; ++frame) {
        engine.frame();
        if (int code = engine.input().getRepeatedKey()) repeatedIn.push_back(frame * 1000 + code);
    }
    EXPECT_EQ(repeatedIn, (std::vector<int>{1030, 5030, 7030, 9030, 11030}));
    dev.keys[kA] = 0;
    engine.frame();
    EXPECT_EQ(engine.input().getRepeatedKey(), 0);
}

TEST(QorInputTest, DebugKeysWarpTheRepeatTimerOnlyWhenUnlocked) {
    InputTestEngine engine;
    ScriptedDevices& dev = engine.scriptInput();
    struct Case {
        bool locked;
        int key;  // F10 68, F11 87
        double left;
    };
    for (const Case& c :
         {Case{true, 87, 0.9375}, Case{false, 0, 0.9375}, Case{false, 87, 0.6875}, Case{false, 68, 0.99375}}) {
        qor->bDebugLocked = c.locked;
        std::fill(std::begin(dev.keys), std::end(dev.keys), 0);
        dev.keys[c.key] = kDown;
        engine.frame();  // the warp reads the keys as of the previous poll
        engine.input().repeatTimer = 1.0;
        engine.frame();
        EXPECT_DOUBLE_EQ(engine.input().repeatTimer, c.left) << c.locked << " " << c.key;
    }
}

TEST(QorInputTest, SticksAndHatsSetDirectionCodes) {
    InputTestEngine engine;
    ScriptedDevices& dev = engine.scriptInput({2});
    struct Case {
        int lX, lY;
        std::uint32_t hat;
        float x, y;
    };
    const std::uint32_t centred = JoystickState::kHatCentred;
    const Case cases[] = {
        {200, -200, centred, 0, 0},     // inside the dead zone
        {600, 0, centred, 0.5f, 0},     // exactly the threshold: no direction yet
        {610, 0, centred, 0.5125f, 0},  // past it
        {0, -1000, centred, 0, 1},      // the device's y grows downwards
        {0, 1000, 0, 0, 0},             // hat up against the stick down cancels
        {0, 0, 4500, 1, 1},
        {0, 0, 13500, 1, -1},
        {0, 0, 22500, -1, -1},
        {0, 0, 31500, -1, 1},
        {0, 0, 6000, 1, 0},
        {-1000, 0, 27000, -1, 0},
    };
    for (const Case& c : cases) {
        dev.joysticks[0] = JoystickState{};
        dev.joysticks[0].lX = c.lX;
        dev.joysticks[0].lY = c.lY;
        dev.joysticks[0].rgdwPOV[2] = c.hat;
        engine.frame();
        const Vector3 v = engine.input().getJoystickAxes(0) + engine.input().getJoystickHat(0);
        const float x = std::clamp(v.x, -1.0f, 1.0f), y = std::clamp(v.y, -1.0f, 1.0f);
        EXPECT_FLOAT_EQ(x, c.x) << c.lX << " " << c.hat;
        EXPECT_FLOAT_EQ(y, c.y) << c.lY << " " << c.hat;
        const bool expected[4] = {c.y > 0.5f, c.y < -0.5f, c.x<-0.5f, c.x> 0.5f};
        for (int d = 0; d < 4; ++d) EXPECT_EQ(down(256 + d), expected[d]) << c.lX << " " << c.lY << " " << c.hat;
    }
    EXPECT_EQ(engine.input().getJoystickHat(1).y, 0.0f);  // not in use
}

TEST(QorInputTest, JoysticksAreEnumeratedOnceAndTheirButtonsPressedOnce) {
    InputTestEngine engine;
    qor->pSettings->setBool(u"QorInput", u"bTrackKeyboard", false);
    // Devices without two axes are dropped; a fifth usable one is ignored.
    ScriptedDevices& dev = engine.scriptInput({1, 2, 0, 2, 2, 2, 2});
    EXPECT_EQ(engine.input().numJoysticks, 4);
    EXPECT_EQ(dev.slotController[3], 5);
    EXPECT_EQ(dev.closes[0] + dev.closes[1], 2);
    dev.joysticks[1].rgbButtons[31] = kDown;
    engine.frame();
    EXPECT_TRUE(engine.input().wasPressed(304 + 47));
    // Keyboard tracking is off, yet the previous state moves on with every poll.
    engine.frame();
    EXPECT_FALSE(engine.input().wasPressed(304 + 47));

    qor->pSettings->setBool(u"QorInput", u"bTrackJoystick", false);
    engine.scriptInput({2}).joysticks[0].rgbButtons[0] = kDown;
    engine.frame();
    EXPECT_EQ(engine.input().numJoysticks, 0);
    EXPECT_FALSE(down(256 + 16));
}

TEST(QorInputTest, AQuickClickReadsAsDownForExactlyOneFrame) {
    InputTestEngine engine;
    engine.scriptInput();
    QorInput& in = engine.input();
    in.mouseButtonDown(1);
    in.mouseButtonUp(1);
    in.mouseButtonDown(4);  // no such button
    engine.frame();
    EXPECT_EQ(in.mouseButtonState[1], 1);
    engine.frame();
    EXPECT_EQ(in.mouseButtonState[1], 0);
    EXPECT_EQ(in.previousMouseButtonState[1], 1);
}

// Counts the input-mode notifications that reach engine objects.
struct ModeListener : QorBase {
    void onInputModeChange() override { ++calls; }
    int calls = 0;
};

TEST(QorInputTest, MousePointerMapsThroughTheViewportWithTheWheelAsZ) {
    InputTestEngine engine;
    engine.scriptInput();
    QorInput& in = engine.input();
    ModeListener listener;
    EXPECT_EQ(in.pointerPosition.x, 400.0f);
    in.setInputMode(QorInput::kModeTouch);
    in.setInputMode(QorInput::kModeMouse);
    EXPECT_EQ(listener.calls, 1);
    in.setRawMousePos(400, 120);
    in.addWheelDelta(240);
    engine.frame();
    EXPECT_FLOAT_EQ(in.pointerPosition.x, 400.0f);
    EXPECT_FLOAT_EQ(in.pointerPosition.y, 360.0f);
    EXPECT_FLOAT_EQ(in.pointerPosition.z, 240.0f);
    in.addWheelDelta(-120);
    in.setRawMousePos(-20, 600);  // left of and below the viewport: its edges
    engine.frame();
    EXPECT_FLOAT_EQ(in.pointerPosition.x, 0.0f);
    EXPECT_FLOAT_EQ(in.pointerPosition.y, 0.0f);
    EXPECT_FLOAT_EQ(in.pointerDelta.z, -120.0f);
}

// The pointer put somewhere in mouse mode (a menu's keys, a screen's park) stays there
// until the mouse itself moves, also when the cursor could not follow (it was off the
// window, or there is none).
TEST(QorInputTest, APointerPutInMouseModeStaysUntilTheMouseMoves) {
    InputTestEngine engine;
    engine.scriptInput();
    QorInput& in = engine.input();
    in.setInputMode(QorInput::kModeMouse);
    in.setRawMousePos(400, 120);
    engine.frame();
    in.setMousePos(123.0f, 45.0f, 0.0f);
    engine.frame();
    EXPECT_FLOAT_EQ(in.pointerPosition.x, 123.0f);
    EXPECT_FLOAT_EQ(in.pointerPosition.y, 45.0f);
    EXPECT_EQ(in.rawMousePosition, (std::array<int, 2>{123, 435}));
    in.setRawMousePos(200, 80);
    engine.frame();
    EXPECT_FLOAT_EQ(in.pointerPosition.x, 200.0f);
    EXPECT_FLOAT_EQ(in.pointerPosition.y, 400.0f);
    // Between two pixels of a larger picture: exactly there, not on the pixel's corner.
    in.viewportSource = [] {
        ViewportMapping m;
        m.right = 1280.0f, m.bottom = 768.0f;
        return m;
    };
    in.setMousePos(400.0f, 28.0f, 0.0f);
    engine.frame();
    EXPECT_FLOAT_EQ(in.pointerPosition.y, 28.0f);
}

// The pointer is off the picture from the mouse leaving the window, or coming onto a bar
// beside the picture, until the mouse comes onto the picture or the program puts the
// pointer somewhere; a touch player's pointer is the finger's, never off.
TEST(QorInputTest, ThePointerIsOffThePictureFromTheMouseLeavingToItsNextPlaceOnIt) {
    InputTestEngine engine;
    engine.scriptInput();
    QorInput& in = engine.input();
    in.viewportSource = [] {
        ViewportMapping m;  // 1280 x 800 with bars of 16 above and below
        m.top = 16.0f, m.right = 1280.0f, m.bottom = 784.0f;
        return m;
    };
    in.setInputMode(QorInput::kModeMouse);
    WMhooks hooks;
    hooks.mouseMove(640, 400);
    EXPECT_FALSE(in.isPointerOffPicture());
    hooks.mouseLeft();
    EXPECT_TRUE(in.isPointerOffPicture());
    hooks.mouseMove(640, 400);
    EXPECT_FALSE(in.isPointerOffPicture());
    hooks.mouseMove(640, 8);
    EXPECT_TRUE(in.isPointerOffPicture());
    hooks.mouseLeft();
    in.setMousePos(400.0f, 240.0f, 0.0f);
    EXPECT_FALSE(in.isPointerOffPicture());
    hooks.mouseLeft();
    in.setInputMode(QorInput::kModeTouch);
    EXPECT_FALSE(in.isPointerOffPicture());
}

TEST(QorInputTest, TouchPointerFollowsTheFirstContactAndPausingDropsIt) {
    InputTestEngine engine;
    engine.scriptInput();
    QorInput& in = engine.input();
    in.setMousePos(123.0f, 45.0f, 0.0f);
    engine.frame();
    EXPECT_EQ(in.pointerPosition.x, 123.0f);  // no contact: the pointer stays
    in.addMouseContact();                     // a synthetic click at the pointer
    engine.frame();
    EXPECT_TRUE(in.isTouchPressed(0));
    EXPECT_FLOAT_EQ(in.getTouch(0)->pos.y, 45.0f);
    engine.frame();
    EXPECT_TRUE(in.getTouch(0)->bReleased);
    in.mouseButtonDown(0);
    engine.frame();
    in.onQORmodeChange(Qor::MODE_OK, Qor::MODE_PAUSED);
    EXPECT_EQ(in.getTouch(0), nullptr);
    EXPECT_EQ(in.mouseButtonState[0], 0);
}

// Records typed characters on their way in; the engine forgets them every frame.
struct RecordingHooks : WMhooks {
    void character(char16_t c) override { typed += c, WMhooks::character(c); }
    std::u16string typed;
};

// End to end: a real window, xdotool's synthetic X input, the engine's own frames.
class QorInputEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("TORVANE_DISPLAY_TESTS")) GTEST_SKIP() << "display tests are off";
        if (!xdotoolAndXvfbInstalled()) LEAVE_WITHOUT_DISPLAY("xdotool or Xvfb is missing");
        server = std::make_unique<PrivateXServer>(1280, 1024);
        ASSERT_FALSE(server->display.empty()) << "Xvfb did not start";
        display = std::make_unique<ScopedVariable>("DISPLAY", server->display.c_str());
        setenv("XDG_DATA_HOME", dataHome.path.c_str(), 1);
        // An 800 x 480 window: the graphics service otherwise starts in full screen.
        std::ofstream(wideToUtf8(getDataFolder()) + wideToUtf8(kBuildName) + ".cfg")
            << "[QorGraphics]\nbFullScreen=No\nvideoModeWidth=800\nvideoModeHeight=480\n";
        ASSERT_TRUE(TestVideo::start("x11")) << SDL_GetError();
        ASSERT_TRUE(window.create("Torvane 2", 50, 50, 100, 100)) << SDL_GetError();
        new Qor(nullptr, &window);
        ASSERT_TRUE(xdotool("search --sync --name '^Torvane 2$' windowfocus --sync %1"));
        ASSERT_TRUE(frameUntil([] { return SDL_GetKeyboardFocus() == qor->hWindowHandle->handle(); }));
    }

    // Runs frames until every event the server had sent the window has been delivered:
    // a key pressed now reaches the window after them.
    void deliverEventsSoFar() {
        ASSERT_TRUE(xdotool("keydown Shift_L"));
        ASSERT_TRUE(frameUntil([] { return down(kLeftShift); }));
        ASSERT_TRUE(xdotool("keyup Shift_L"));
        ASSERT_TRUE(frameUntil([] { return !down(kLeftShift); }));
    }
    // Where the X server has the mouse cursor, on its screen.
    static std::array<int, 2> cursor() {
        std::array<int, 2> at{};
        SDL_GetGlobalMouseState(&at[0], &at[1]);
        return at;
    }

    // Delivers the window's events and runs frames until `done` holds, at most 3 s.
    bool frameUntil(const std::function<bool()>& done) {
        for (auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
             std::chrono::steady_clock::now() < end;) {
            while (qor->hWindowHandle->dispatchOneEvent(hooks)) {
            }
            qor->frame(nullptr);
            if (done()) return true;
        }
        return false;
    }

    void TearDown() override {
        if (!server) return;  // skipped
        delete qor;
        window.destroy();
        TestVideo::stop();
    }

    std::unique_ptr<PrivateXServer> server;  // outlives the window: declared first
    std::unique_ptr<ScopedVariable> display;
    TempFolder dataHome;
    Window window;
    RecordingHooks hooks;
};

TEST_F(QorInputEndToEnd, KeysReachTheInputCodes) {
    ASSERT_TRUE(xdotool("keydown a"));
    ASSERT_TRUE(frameUntil([] { return down(kA); }));
    EXPECT_TRUE(qor->pQorInput->wasPressed(kA));
    EXPECT_NE(hooks.typed.find(u'a'), std::u16string::npos);
    ASSERT_TRUE(xdotool("keyup a"));
    ASSERT_TRUE(frameUntil([] { return !down(kA); }));
    for (const auto& [key, code] : {std::pair{"Control_R", 157}, {"Up", 200}, {"KP_Enter", 156}, {"Shift_R", 54}}) {
        ASSERT_TRUE(xdotool(std::string("keydown ") + key));
        EXPECT_TRUE(frameUntil([code = code] { return down(code); })) << key;
        ASSERT_TRUE(xdotool(std::string("keyup ") + key));
        EXPECT_TRUE(frameUntil([code = code] { return !down(code); })) << key;
    }
}

// The console's chord tapped quicker than a frame, as on a loaded machine: the keys are
// down in one frame, the chord opens the console, and what is typed next goes there.
TEST_F(QorInputEndToEnd, AChordTappedWithinAFrameOpensTheConsole) {
    QorInput& in = *qor->pQorInput;
    qor->bDebugLocked = false;
    ASSERT_NO_FATAL_FAILURE(deliverEventsSoFar());
    ASSERT_TRUE(xdotool("key --delay 0 shift+grave"));
    ASSERT_TRUE(KeyTap::takeInUntilReleased(SDL_SCANCODE_GRAVE));  // no frame in between
    ASSERT_TRUE(frameUntil([] { return true; }));
    EXPECT_TRUE(qor->console().bOpen);
    EXPECT_TRUE(in.wasPressed(kLeftShift));
    EXPECT_EQ(in.getRepeatedKey(), kGrave);
    ASSERT_TRUE(frameUntil([] { return true; }));
    EXPECT_FALSE(down(kLeftShift)) << "released in the next frame";
    EXPECT_TRUE(in.previousKeyState[kLeftShift] & kDown);
    EXPECT_EQ(in.getRepeatedKey(), 0);
    ASSERT_TRUE(xdotool("type --delay 0 help"));
    EXPECT_TRUE(frameUntil([] { return qor->console().input == u"help"; })) << wideToUtf8(qor->console().input);
}

TEST_F(QorInputEndToEnd, ClicksBecomeContactsAtTheMappedPosition) {
    QorInput& in = *qor->pQorInput;
    // The mouse comes over the window: mouse mode, and the pointer where the cursor is.
    ASSERT_TRUE(xdotool("search --name '^Torvane 2$' mousemove --window %1 100 100"));
    ASSERT_TRUE(frameUntil([&] { return in.inputMode == QorInput::kModeMouse; }));
    ASSERT_TRUE(xdotool("search --name '^Torvane 2$' mousemove --window %1 200 120"));
    ASSERT_TRUE(frameUntil([&] { return in.rawMousePosition == std::array<int, 2>{200, 120}; }));
    ASSERT_TRUE(xdotool("mousedown 1"));
    ASSERT_TRUE(frameUntil([&] { return in.isTouchPressed(0); }));
    EXPECT_FLOAT_EQ(in.getTouch(0)->pos.x, 200.0f);
    EXPECT_FLOAT_EQ(in.getTouch(0)->pos.y, 360.0f);
    EXPECT_EQ(in.mouseButtonState[0], 1);
    ASSERT_TRUE(xdotool("mouseup 1"));
    ASSERT_TRUE(frameUntil([&] { return in.getTouch(0) && in.getTouch(0)->bReleased; }));
    ASSERT_TRUE(xdotool("click 4"));  // one notch of the wheel, away from the user
    ASSERT_TRUE(frameUntil([&] { return in.pointerPosition.z == 120.0f; }));
}

// The mouse over the window while the game switches to full screen and back: the window
// moves under a cursor that stays, and the pointer stays under the cursor. The pointer
// reports nothing when the window moves, and SDL, left with the place it had before the
// move, would put the cursor back there on the next switch.
TEST_F(QorInputEndToEnd, FullScreenAndBackLeaveTheCursorWhereItIsAndThePointerUnderIt) {
    QorInput& in = *qor->pQorInput;
    QorGraphics& g = qor->graphics();
    int left = 0, top = 0, w = 0, h = 0;
    window.realGeometry(left, top, w, h);
    ASSERT_TRUE(xdotool("mousemove " + std::to_string(left + 300) + " " + std::to_string(top + 100)));
    ASSERT_TRUE(frameUntil([&] { return in.inputMode == QorInput::kModeMouse; }));
    ASSERT_NO_FATAL_FAILURE(deliverEventsSoFar());
    const std::array<int, 2> at = cursor();
    for (const bool fullScreen : {true, false, true}) {
        g.changePresentationParameters(-1, -1, fullScreen, g.bAllowLetterbox, g.bBilinearFilter, g.bUseVSync);
        ASSERT_TRUE(frameUntil([&] { return !qor->resetRequest && qor->qorMode == Qor::MODE_OK; }));
        ASSERT_NO_FATAL_FAILURE(deliverEventsSoFar());
        window.realGeometry(left, top, w, h);
        EXPECT_EQ(cursor(), at) << "full screen " << fullScreen;
        EXPECT_EQ(in.rawMousePosition, (std::array<int, 2>{at[0] - left, at[1] - top})) << "full screen " << fullScreen;
    }
}

}  // namespace
