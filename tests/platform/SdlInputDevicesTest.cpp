#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/SdlInputDevices.h"
#include "platform/Window.h"
#include "support/KeyTap.h"
#include "support/ScopedVariable.h"
#include "support/TestVideo.h"
#include "support/XServer.h"
#include "support/Xdotool.h"

namespace {

TEST(SdlInputDevicesTest, HatPositionsBecomeAnglesClockwiseFromNorth) {
    const std::pair<std::uint8_t, std::uint32_t> cases[] = {
        {SDL_HAT_UP, 0},
        {SDL_HAT_RIGHTUP, 4500},
        {SDL_HAT_RIGHT, 9000},
        {SDL_HAT_RIGHTDOWN, 13500},
        {SDL_HAT_DOWN, 18000},
        {SDL_HAT_LEFTDOWN, 22500},
        {SDL_HAT_LEFT, 27000},
        {SDL_HAT_LEFTUP, 31500},
        {SDL_HAT_CENTERED, JoystickState::kHatCentred},
        {SDL_HAT_UP | SDL_HAT_DOWN, JoystickState::kHatCentred},
    };
    for (const auto& [hat, angle] : cases) EXPECT_EQ(SdlInputDevices::hatToAngle(hat), angle) << int(hat);
}

TEST(SdlInputDevicesTest, AxesScaleIntoTheRangeAndClamp) {
    EXPECT_EQ(SdlInputDevices::scaleAxis(-32768, -1000, 1000), -1000);
    EXPECT_EQ(SdlInputDevices::scaleAxis(32767, -1000, 1000), 1000);
    EXPECT_EQ(SdlInputDevices::scaleAxis(0, -1000, 1000), 0);
    EXPECT_EQ(SdlInputDevices::scaleAxis(16384, -1000, 1000), 500);
    EXPECT_EQ(SdlInputDevices::scaleAxis(99999, -1000, 1000), 1000);
    EXPECT_EQ(SdlInputDevices::scaleAxis(-99999, 0, 65535), 0);
}

// Taps shorter than the time between two reads, on a window of the test's own X server
// that has the keyboard focus: keys through the server's test extension, as from a real
// keyboard, and a button of SDL's virtual joystick.
class SdlInputDevicesTapTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("TORVANE_DISPLAY_TESTS")) GTEST_SKIP() << "needs a display (TORVANE_DISPLAY_TESTS)";
        if (!xdotoolAndXvfbInstalled()) LEAVE_WITHOUT_DISPLAY("xdotool or Xvfb is missing");
        server = std::make_unique<PrivateXServer>(640, 480);
        ASSERT_FALSE(server->display.empty()) << "Xvfb did not start";
        display = std::make_unique<ScopedVariable>("DISPLAY", server->display.c_str());
        ASSERT_TRUE(TestVideo::start("x11")) << SDL_GetError();
        ASSERT_TRUE(window.create("tap test", 50, 50, 200, 100)) << SDL_GetError();
        devices = std::make_unique<SdlInputDevices>(&window);
        ASSERT_TRUE(xdotool("search --sync --name '^tap test$' windowfocus --sync %1"));
        for (int ms = 0; ms < 3000 && SDL_GetKeyboardFocus() != window.handle(); ++ms) {
            SDL_PumpEvents();
            SDL_Delay(1);
        }
        ASSERT_EQ(SDL_GetKeyboardFocus(), window.handle());
    }
    void TearDown() override {
        if (!server) return;  // skipped
        devices.reset();
        window.destroy();
        TestVideo::stop();
    }

    std::unique_ptr<PrivateXServer> server;  // outlives the window: declared first
    std::unique_ptr<ScopedVariable> display;
    Window window;
    std::unique_ptr<SdlInputDevices> devices;
};

TEST_F(SdlInputDevicesTapTest, AKeyTappedBetweenTwoReadsIsReadDownOnceThenUp) {
    constexpr int kA = 30, kLeftShift = 42;
    std::uint8_t keys[InputDevices::kKeyboardBytes];
    ASSERT_TRUE(xdotool("keydown Shift_L key --delay 0 a"));
    ASSERT_TRUE(KeyTap::takeInUntilReleased(SDL_SCANCODE_A));
    ASSERT_TRUE(devices->readKeyboard(keys));
    EXPECT_EQ(keys[kA], 0x80);
    EXPECT_EQ(keys[kLeftShift], 0x80);
    ASSERT_TRUE(devices->readKeyboard(keys));
    EXPECT_EQ(keys[kA], 0);
    EXPECT_EQ(keys[kLeftShift], 0x80) << "a key still held stays down";
    ASSERT_TRUE(xdotool("keyup Shift_L"));
    ASSERT_TRUE(KeyTap::takeInUntilReleased(SDL_SCANCODE_LSHIFT));
    ASSERT_TRUE(devices->readKeyboard(keys));
    EXPECT_EQ(keys[kLeftShift], 0) << "a press already read is not read again";
}

TEST_F(SdlInputDevicesTapTest, AJoystickButtonTappedBetweenTwoReadsIsReadDownOnceThenUp) {
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 4, 0);
    ASSERT_GE(index, 0) << SDL_GetError();
    ASSERT_EQ(devices->openJoystick(index, 0), 0);
    SDL_Joystick* pad = SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(index));
    ASSERT_NE(pad, nullptr);
    for (const Uint8 value : {1, 0}) {
        SDL_JoystickSetVirtualButton(pad, 2, value);
        SDL_JoystickUpdate();
    }
    SDL_JoystickSetVirtualButton(pad, 3, 1);  // held
    JoystickState state;
    ASSERT_TRUE(devices->readJoystick(0, state));
    EXPECT_EQ(state.rgbButtons[2], 0x80);
    EXPECT_EQ(state.rgbButtons[3], 0x80);
    EXPECT_EQ(state.rgbButtons[1], 0);
    ASSERT_TRUE(devices->readJoystick(0, state));
    EXPECT_EQ(state.rgbButtons[2], 0);
    EXPECT_EQ(state.rgbButtons[3], 0x80);
    devices->closeJoystick(0);
    SDL_JoystickDetachVirtual(index);
}

}  // namespace
