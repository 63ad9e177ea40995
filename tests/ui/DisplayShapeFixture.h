#pragma once
// Test support for picture tests of the program's screens at several shapes of display:
// the program runs to its title menu, then shows itself in a window of the virtual
// screen's shape or full screen at a test's shape (one test a shape), and the screens
// under test are drawn off the stack, each just as it is built: ticks would only fade in
// their titles and move the snow, and every frame costs a software renderer as much as
// several such pictures.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "render/QorGraphics.h"
#include "ui/ProgramFixture.h"

struct DisplayShape {
    const char* name;   // of the test
    int width, height;  // full screen at this size; 0 x 0: the window of the virtual screen's shape
    bool bars;          // letterbox or pillarbox a shape far from the virtual screen's
};
inline void PrintTo(const DisplayShape& d, std::ostream* out) { *out << d.name; }
// Small sizes of each shape. 16:10 and 16:9 are near enough the virtual screen's 5:3 to
// be stretched whatever the setting; stretched, 4:3 and 21:9 keep the window's 480 rows.
inline constexpr DisplayShape kDisplayShapes[] = {
    {"Window5to3", 0, 0, true},
    {"FullScreen4to3", 640, 480, true},
    {"FullScreen16to10", 768, 480, true},
    {"FullScreen16to9", 854, 480, true},
    {"FullScreen21to9", 840, 360, true},
    {"FullScreen9to16", 450, 800, true},
    {"FullScreen9to16Stretched", 450, 800, false},
};
// The test's name: the shape's.
inline std::string displayShapeName(const ::testing::TestParamInfo<DisplayShape>& info) { return info.param.name; }

class DisplayShapeFixture : public ScreenSizedProgramFixture, public ::testing::WithParamInterface<DisplayShape> {
protected:
    // Mesa's softpipe filters some texels a little apart (by up to 15 of 255 on a scaled
    // picture) when the draws around them are batched otherwise, as a part drawn last or
    // left out makes them: pixels this close count as alike, as in the reference pictures.
    // What a part itself draws changes the pixels by far more.
    static constexpr int kAlike = 24;

    std::string settingsText() const override { return screenSizedSettings() + "bEnableDelayedLoad=No\n"; }
    void SetUp() override {
        ScreenSizedProgramFixture::SetUp();
        if (HasFatalFailure() || IsSkipped()) return;
        GraphicsDevice::keepPresentedFrames = false;  // the pictures are drawn off the frames
        ASSERT_TRUE(skipToTheTitle());
    }

    // As the advanced options apply a choice: through the configuration, which the
    // network test's page applies again when it closes. The device restarts over the
    // next frames.
    void show(const DisplayShape& display) {
        GameConfiguration& c = global->configuration;
        QorGraphics& g = qor->graphics();
        const bool full = display.width > 0;
        const int w = full ? display.width : 800, h = full ? display.height : 480;
        c.bFullScreen = full ? 1 : 0;
        c.bAllowLetterbox = display.bars ? 1 : 0;
        if (full) {
            g.videoModes.deleteChildren();
            g.addVideoMode(w, h);
        }
        global->applySettings(w, h);
        ASSERT_TRUE(tickUntil(
            [&] {
                return !qor->resetRequest && qor->qorMode == Qor::MODE_OK && g.backBufferWidth == w &&
                       g.backBufferHeight == h;
            },
            10));
    }
    std::vector<std::uint32_t> drawn(Context& screen) { return drawOffScreen(screen, width, height); }
    std::size_t at(int x, int y) const { return static_cast<std::size_t>(y) * width + x; }

    int width = 0, height = 0;  // of the last picture
};
