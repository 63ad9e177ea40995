#include <gtest/gtest.h>

#include "engine/ErrorManager.h"
#include "engine/Strings.h"
#include "platform/ResultCode.h"

namespace {
TEST(ResultCodeTest, FailuresCarryTheirSymbolicNameAndHexValue) {
    EXPECT_EQ(wideToUtf8(hresultToString(ResultCode::kDeviceLost)), "D3DERR_DEVICELOST (0x88760868)");
    EXPECT_EQ(wideToUtf8(hresultToString(ResultCode::kDeviceNotReset)), "D3DERR_DEVICENOTRESET (0x88760869)");
    EXPECT_EQ(wideToUtf8(hresultToString(ResultCode::kInvalidCall)), "D3DERR_INVALIDCALL (0x8876086c)");
    EXPECT_EQ(wideToUtf8(hresultToString(static_cast<std::int32_t>(0x80001234u))), "Unknown (0x80001234)");
}

TEST(ResultCodeTest, AnyCodeThatIsNotNegativeIsSuccess) {
    EXPECT_EQ(wideToUtf8(hresultToString(0)), "S_OK");
    EXPECT_EQ(wideToUtf8(hresultToString(1)), "S_OK");
    EXPECT_STREQ(ResultCode::name(7), "S_OK");
}
}  // namespace
