#include <gtest/gtest.h>

#include "engine/Qor.h"
#include "render/Context.h"
#include "render/EngineFixture.h"
#include "runtime/FrameOverlays.h"

namespace {
// The settings unlock debugging (or not) and ask for every overlay.
class FrameOverlaysTest : public EngineFixture {
protected:
    std::string settingsText() const override {
        return EngineFixture::settingsText() + "[Qor]\ndebugLevel=7\n" +
               (unlocked ? "debugCode=47281\n" : "debugCode=1\n");
    }
    // Pixels of the top-left text corner that are lit, and red pixels near the bottom.
    void count(int& textPixels, int& redPixels) {
        int w = 0, h = 0;
        const std::vector<std::uint32_t> pixels = backBuffer(w, h);
        textPixels = redPixels = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const std::uint32_t p = pixels[static_cast<std::size_t>(y) * w + x];
                const int r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
                if (y < h / 4 && x < w / 2 && r > 128 && g > 128 && b > 128) ++textPixels;
                if (y > h / 2 && r > 100 && g < 64 && b < 64) ++redPixels;
            }
    }
    bool unlocked = true;
};

class LockedFrameOverlaysTest : public FrameOverlaysTest {
protected:
    void SetUp() override {
        unlocked = false;
        FrameOverlaysTest::SetUp();
    }
};
}  // namespace

TEST_F(FrameOverlaysTest, TextLinesAtTheTopAndGraphsAtTheBottom) {
    ASSERT_EQ(qor->debugLevel, 7);
    auto* scene = new Context();
    scene->clearColor = 0xFF000000u;  // over the red that debugging clears to
    qor->timer.period = 0.05;         // the target line 50 units above the bottom
    for (int i = 0; i < 5; ++i) runFrame(scene);
    int text = 0, red = 0;
    count(text, red);
    EXPECT_GT(text, 30);
    EXPECT_GT(red, 5);
    // The graphs alone: no text lines at the top.
    qor->debugLevel = FrameOverlays::kGraphs;
    runFrame(scene);
    count(text, red);
    EXPECT_EQ(text, 0);
    EXPECT_GT(red, 5);
    scene->destroy();
}

TEST_F(LockedFrameOverlaysTest, WithoutTheAccessCodeNothingIsDrawn) {
    EXPECT_EQ(qor->debugLevel, 0);
    auto* scene = new Context();
    runFrame(scene);
    int text = 0, red = 0;
    count(text, red);
    EXPECT_EQ(text, 0);
    EXPECT_EQ(red, 0);
    scene->destroy();
}
