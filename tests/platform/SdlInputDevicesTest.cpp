#include <SDL_joystick.h>
#include <gtest/gtest.h>

#include "platform/SdlInputDevices.h"

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

}  // namespace
