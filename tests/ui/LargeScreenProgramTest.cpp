// The program on large screens, as a player starts it there: full screen at the desktop's
// own size, on an X server of the test's own of that size. 5120 x 2880 and 7680 x 4320
// are 16:9 and get no bars (the virtual screen drawn 6 and 9 times over); 2160 x 3840
// stands upright and is letterboxed by its width. A first start takes a name in the
// bitmap fonts' fallback face, rasterised at the screen's own scale, reaches the title and
// plays the start of an Invasion.
//
// A software renderer draws such screens slowly, seconds a frame: the intro is passed
// over as the logo is, the iris between screens and the game's lead-in are hurried, the
// clock steps a fixed time each frame, and the menus are clicked as a quick tap does, the
// press and the release between two frames, so that no frame is drawn only to wait. The
// 8K screen is left out under Mesa's slowest renderer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <ostream>
#include <string>

#include "game/ContextInvasionRules.h"
#include "game/GameControllerCampaign.h"
#include "render/FontCache.h"
#include "render/FontGDI.h"
#include "support/FrameStep.h"
#include "support/XServer.h"
#include "ui/ContextGameMode.h"
#include "ui/MenuButton.h"
#include "ui/ProgramFixture.h"

namespace {
struct Screen {
    int width, height;
};
void PrintTo(const Screen& s, std::ostream* out) { *out << s.width << "x" << s.height; }

class LargeScreenProgramTest : public GameProgramFixture<GameControllerCampaign>,
                               public ::testing::WithParamInterface<Screen> {
protected:
    void SetUp() override {
        if (!std::getenv("TORVANE_DISPLAY_TESTS")) GTEST_SKIP() << "needs a display (TORVANE_DISPLAY_TESTS)";
        // Mesa's softpipe (the sanitizer runs) takes about 9 s a frame at 8K, too long for a
        // test among others; 5K takes the same ways through the fonts and the device there.
        if (const char* driver = std::getenv("GALLIUM_DRIVER");
            driver && std::string(driver) == "softpipe" && GetParam().width * GetParam().height > 5120 * 2880)
            GTEST_SKIP() << "too slow to draw with softpipe";
        privateXScreen = {GetParam().width, GetParam().height};
        GameProgramFixture::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        GraphicsDevice::keepPresentedFrames = false;  // no frame is read: a copy of each would cost
        bClickPastTheIntro = false;                   // the click's frames would take seconds each to draw
        irisHurry = 20.0;                             // an opening or a closing in a frame
    }
    // The program's own first window; its settings hold only the language, so the
    // graphics start in full screen at the desktop's size.
    std::pair<int, int> windowSize() const override { return {100, 100}; }
    std::string settingsText() const override { return "[Qor]\ndefaultLanguage=0\n"; }

    // A left click on the middle of `widget`, the mouse's move, press and release queued
    // for the next frame to read together; runs no frame.
    static void tapOn(const Renderable& widget) {
        const auto [x, y] = windowPixelOf(widget.position);
        pushMouseMove(x, y);
        pushLeftButton(SDL_MOUSEBUTTONDOWN, x, y);
        pushLeftButton(SDL_MOUSEBUTTONUP, x, y);
    }
    // Every font that follows the window draws at its scale and keeps its rows within its
    // pages; returns the largest raster scale.
    static float largestRasterScale() {
        float largest = 0.0f;
        qor->forEachObject([&largest](QorBase* o) {
            if (auto* font = dynamic_cast<FontGDI*>(o)) {
                EXPECT_LE(font->pFontCache->rowHeight, font->pFontCache->textureSize);
                largest = std::max(largest, font->rasterScale);
            }
        });
        return largest;
    }
};
}  // namespace

TEST_P(LargeScreenProgramTest, AFirstStartTakesANameReachesTheTitleAndPlays) {
    const Screen screen = GetParam();
    startToTheTitle();
    const QorGraphics& g = qor->graphics();
    EXPECT_EQ(g.bFullScreen, 1);
    EXPECT_EQ(g.backBufferWidth, screen.width);
    EXPECT_EQ(g.backBufferHeight, screen.height);
    EXPECT_EQ(g.viewportWidth, screen.width);
    // The name was drawn in the fallback face at the screen's own pixels a raw pixel.
    const float wanted = std::round(static_cast<float>(g.viewportHeight) / 480.0f * 8.0f) / 8.0f;
    EXPECT_FLOAT_EQ(largestRasterScale(), wanted);

    useSteppedClock(kFrameStep);
    global->configuration.bInGameHelp = 0;  // no tips on the way into the game
    tapOn(*top<ContextMainGame>()->startGameItem);
    ASSERT_TRUE(tickUntil([this] { return topIs<ContextGameMode>(); }, 10));
    tapOn(*top<ContextGameMode>()->pInvasion);
    ASSERT_TRUE(tickUntil([this] { return topIs<ContextInvasionRules>(); }, 10));
    tapOn(*top<ContextInvasionRules>()->pStartNew);
    ASSERT_TRUE(tickUntil([this] { return game() != nullptr; }, 10));
    ASSERT_TRUE(leadInToPlay(300.0));  // its waits of seconds pass in a frame each
    // The fire key sends a shell in the frame that reads it down.
    devices->keys[kFireKey] = 0x80;
    frames(1);
    devices->keys[kFireKey] = 0;
    EXPECT_EQ(game()->layer(GameController::kPlayerShotList)->countChildren(), 1);
    EXPECT_TRUE(playing());
    EXPECT_FALSE(ended);
}

INSTANTIATE_TEST_SUITE_P(Screens, LargeScreenProgramTest,
                         ::testing::Values(Screen{5120, 2880}, Screen{7680, 4320}, Screen{2160, 3840}),
                         [](const ::testing::TestParamInfo<Screen>& info) {
                             return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
                         });
