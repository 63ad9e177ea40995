#pragma once
// One joystick's immediate state, laid out as the classic 80-byte joystick record the
// input codes were designed around.
#include <cstdint>

struct JoystickState {
    static constexpr std::uint32_t kHatCentred = 0xFFFFFFFFu;

    std::int32_t lX = 0;  // stick x, in the axis range set for the device
    std::int32_t lY = 0;  // stick y, down positive
    std::int32_t lZ = 0;  // further axes, same range
    std::int32_t lRx = 0;
    std::int32_t lRy = 0;
    std::int32_t lRz = 0;
    std::int32_t rglSlider[2] = {};
    // Point-of-view hats in hundredths of a degree clockwise from north, kHatCentred
    // when centred or absent.
    std::uint32_t rgdwPOV[4] = {kHatCentred, kHatCentred, kHatCentred, kHatCentred};
    std::uint8_t rgbButtons[32] = {};  // bit 7 set while the button is down
};

static_assert(sizeof(JoystickState) == 80);
