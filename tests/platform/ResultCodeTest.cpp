#include <gtest/gtest.h>

#include "engine/ErrorManager.h"
#include "engine/Strings.h"
#include "platform/ResultCode.h"

namespace {
TEST(ResultCodeTest, FailuresShowTheirNameAndHexValueAndAnythingNotNegativeIsSuccess) {
    EXPECT_EQ(wideToUtf8(hresultToString(ResultCode::kDeviceLost)), "D3DERR_DEVICELOST (0x88760868)");
    EXPECT_EQ(wideToUtf8(hresultToString(static_cast<std::int32_t>(0x80001234u))), "Unknown (0x80001234)");
    EXPECT_EQ(wideToUtf8(hresultToString(0)), "S_OK");
    EXPECT_EQ(wideToUtf8(hresultToString(1)), "S_OK");
}
}  // namespace
