#include <gtest/gtest.h>

#include "engine/ErrorManager.h"
#include "platform/ResultCode.h"

TEST(ErrorManager, ResultCodesReadAsTheirNamesAndNumbers) {
    EXPECT_EQ(hresultToString(0), u"S_OK");
    EXPECT_EQ(hresultToString(1), u"S_OK");
    EXPECT_EQ(hresultToString(ResultCode::kDeviceLost), u"D3DERR_DEVICELOST (0x88760868)");
    EXPECT_EQ(hresultToString(-1), u"Unknown (0xffffffff)");
}

TEST(ErrorManager, AFatalErrorNamesTheMessageMethodFileAndLine) {
    EXPECT_EXIT(QOR_FATAL("Test::run", u"Bad value %d in %s", 7, u"C:\\100%\\file"), ::testing::ExitedWithCode(255),
                "Error: Bad value 7 in C:.100%.file\n Function: Test::run\\(\\)\n File: ErrorManagerTest.cpp\n Line: ");
}

TEST(ErrorManager, AFailedAssertionQuotesTheStatement) {
    const int mode = 2;
    EXPECT_EXIT(QOR_ASSERT("Qor::frame", mode == 3), ::testing::ExitedWithCode(255),
                "Error: Assertion failed.\n Statement: mode == 3\n Function: Qor::frame\\(\\)");
}

TEST(ErrorManager, AFailedCallShowsItsResultCode) {
    EXPECT_EXIT(QOR_CHECK("Device::reset", ResultCode::kDeviceLost), ::testing::ExitedWithCode(255),
                "Error: D3DERR_DEVICELOST \\(0x88760868\\)\n Statement: ResultCode::kDeviceLost");
}
