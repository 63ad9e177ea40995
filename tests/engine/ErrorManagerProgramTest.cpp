// The fatal path of the whole program: a crash asked for at the console at the title
// leaves a crash screenshot of the frame the player saw, although no copy of the frames
// is kept: with the frame drawn straight into the window, as a player's game is, and
// with it drawn off-screen and scaled into a window of another size.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "engine/Qor.h"
#include "engine/Strings.h"
#include "platform/GraphicsDevice.h"
#include "render/JpegCodec.h"
#include "render/QorGraphics.h"
#include "runtime/Console.h"
#include "support/ImageTools.h"
#include "support/TempFolder.h"
#include "ui/ContextMainGame.h"
#include "ui/ProgramFixture.h"

namespace {
// The parameter: whether the window differs from the video mode (320 x 192), so that
// each frame is drawn off-screen and scaled into it.
class ErrorManagerProgramTest : public ProgramFixture, public ::testing::WithParamInterface<bool> {
protected:
    std::pair<int, int> windowSize() const override {
        return GetParam() ? std::pair{400, 240} : ProgramFixture::windowSize();
    }
    // Debugging unlocked, so that the console opens.
    std::string settingsText() const override {
        return ProgramFixture::settingsText() + "debugCode=" + std::to_string(Qor::kDebugAccessCode) + "\n";
    }
};

// The mean and the largest difference of two pictures of one size, over the colour
// channels.
void compare(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b, double& mean, int& largest) {
    double sum = 0.0;
    largest = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        for (int shift = 0; shift < 24; shift += 8) {
            const int d = std::abs(static_cast<int>((a[i] >> shift) & 0xFF) - static_cast<int>((b[i] >> shift) & 0xFF));
            sum += d;
            largest = std::max(largest, d);
        }
    mean = a.empty() ? 0.0 : sum / (3.0 * static_cast<double>(a.size()));
}
}  // namespace

// The crash ends its process, so it runs in a child: a fresh run of this test (a forked
// copy of a process that holds an OpenGL context cannot be relied on to end cleanly),
// which leaves its crash files and the frame before the crash in the folder this run
// names. This run only waits for it and looks at what it left.
TEST_P(ErrorManagerProgramTest, ACrashAtTheConsoleLeavesTheFrameOnScreenAsTheCrashScreenshot) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    constexpr const char* kFolderVariable = "TORVANE_CRASH_FOLDER";
    const bool child = std::getenv(kFolderVariable) != nullptr;
    if (!child) setenv(kFolderVariable, home.home.path.c_str(), 1);
    const std::string folder = std::getenv(kFolderVariable);
    const std::string framePath = folder + "/frame-before.ppm";
    TestPicture before;
    // This run too starts the program, so that the system's OpenGL is loaded here as well:
    // the leak checker's suppressions name its own leftovers only while it is loaded.
    frames(1);
    if (child) {
        ASSERT_TRUE(skipToTheTitle());
        ASSERT_TRUE(tickUntil([] { return global->pContextManager->pOverlay->level == 0.0f; }));
        useScriptedDevices();
        ASSERT_EQ(qor->graphics().dxDevice->drawsIntoWindow(), !GetParam());
        // Left Shift and the grave accent open the console; "crash" is typed into it.
        pressConsoleChord();
        ASSERT_TRUE(qor->console().bOpen);
        type("crash");
        ASSERT_EQ(qor->console().input, u"crash");
        // The frame before, as drawn; then one more frame, shown and kept nowhere.
        ASSERT_TRUE(qor->graphics().dxDevice->readBackBuffer(before.argb, before.width, before.height));
        GraphicsDevice::keepPresentedFrames = false;
        frames(1);
    }
    // Return runs the command: the fatal path saves the screenshot and ends the program.
    EXPECT_EXIT(
        {
            writeNetpbm(framePath, before, false);
            setenv("XDG_DATA_HOME", folder.c_str(), 1);  // the crash files go where this run looks
            typeReturn();
            frames(10);
        },
        ::testing::ExitedWithCode(255), "Crash requested.");
    unsetenv(kFolderVariable);

    const std::string jpeg = TempFolder::read(home.file("crash.Torvane2Xmas.jpg"));
    DecodedImage shot;
    ASSERT_TRUE(JpegCodec::decode(reinterpret_cast<const std::uint8_t*>(jpeg.data()), jpeg.size(), false, shot))
        << wideToUtf8(shot.error);
    before = readNetpbm(framePath);
    ASSERT_EQ(shot.width, before.width);
    ASSERT_EQ(shot.height, before.height);
    const std::vector<std::uint32_t> crash(shot.pixels.get(), shot.pixels.get() + before.argb.size());
    double mean = 0.0;
    int largest = 0;
    compare(crash, before.argb, mean, largest);
    // The same frame through the same JPEG coding: what is left is the frame's own change.
    std::vector<std::uint8_t> coded;
    std::u16string error;
    DecodedImage recoded;
    ASSERT_TRUE(JpegCodec::encode(before.width, before.height, before.argb.data(), 60, coded, error));
    ASSERT_TRUE(JpegCodec::decode(coded.data(), coded.size(), false, recoded));
    double codedMean = 0.0;
    int codedLargest = 0;
    compare(crash, std::vector<std::uint32_t>(recoded.pixels.get(), recoded.pixels.get() + before.argb.size()),
            codedMean, codedLargest);
    // A blank screenshot is as far from the title as the title's own brightness.
    double blankMean = 0.0;
    int blankLargest = 0;
    compare(std::vector<std::uint32_t>(before.argb.size(), 0xFF000000u), before.argb, blankMean, blankLargest);
    std::printf(
        "%s: crash screenshot %dx%d against the frame before: mean difference %.2f, largest %d; against "
        "it coded as the screenshot is: mean %.2f, largest %d; a blank one: mean %.2f\n",
        GetParam() ? "scaled" : "direct", before.width, before.height, mean, largest, codedMean, codedLargest,
        blankMean);
    EXPECT_LT(mean, 10.0);      // JPEG at quality 60 blurs the small text and the snowflakes
    EXPECT_LT(codedMean, 3.0);  // one frame of snowfall and the console's cursor apart
    EXPECT_GT(blankMean, 40.0);
}

INSTANTIATE_TEST_SUITE_P(Modes, ErrorManagerProgramTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& mode) {
                             return std::string(mode.param ? "DrawnOffScreenAndScaled" : "DrawnStraightIntoTheWindow");
                         });
