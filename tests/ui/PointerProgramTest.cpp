// The mouse pointer of the running program on an X server of the test's own, full
// screen as a player starts it and in a window, with the mouse moved and clicked through
// that server: from the first frame of the first start, and from the first frame after
// the restart that the language change makes, the pointer is drawn where the mouse
// cursor is, over the flags too; and the program never moves the cursor on the way.
#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

#include "support/XServer.h"
#include "ui/ContextOptions.h"
#include "ui/LanguageFlag.h"
#include "ui/MenuButton.h"
#include "ui/MousePointer.h"
#include "ui/ProgramFixture.h"
#include "ui/ScreenUnits.h"

namespace {
class PointerProgramTest : public ProgramFixture, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        if (!std::getenv("TORVANE_DISPLAY_TESTS")) GTEST_SKIP() << "needs a display (TORVANE_DISPLAY_TESTS)";
        server = std::make_unique<PrivateXServer>(1280, 800);
        if (server->display.empty()) GTEST_SKIP() << "no Xvfb to run a private X server";
        if (const char* d = std::getenv("DISPLAY")) oldDisplay = d;
        setenv("DISPLAY", server->display.c_str(), 1);
        videoDriver = "x11";
        ProgramFixture::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        if (!videoRunsOnX()) GTEST_SKIP() << "video already started on another driver";
    }
    void TearDown() override {
        if (!server) return;  // skipped
        ProgramFixture::TearDown();
        Window::shutdownVideo();  // while its server is there
        setenv("DISPLAY", oldDisplay.c_str(), 1);
    }
    // The program's own first window; the graphics take the whole screen, or put an
    // 800 x 480 window in its middle.
    std::pair<int, int> windowSize() const override { return {100, 100}; }
    std::string settingsText() const override {
        return GetParam() ? "[Qor]\ndefaultLanguage=0\n"
                          : "[QorGraphics]\nbFullScreen=No\nvideoModeWidth=800\nvideoModeHeight=480\n"
                            "[Qor]\ndefaultLanguage=0\n";
    }

    // Where the X server has the cursor, on its screen.
    static std::pair<int, int> cursor() {
        int x = 0, y = 0;
        SDL_GetGlobalMouseState(&x, &y);
        return {x, y};
    }
    // After a frame: the shared pointer, over a screen that shows it, stands where the
    // cursor is.
    void expectDrawnUnderTheCursor() {
        if (!qor || !global || !global->pContextManager) return;
        const ContextManager& stack = *global->pContextManager;
        const Context* screen = stack.top();
        if (!screen || !screen->bShowPointer || screen->pPointer) return;
        ++checkedFrames;
        int left = 0, top = 0, w = 0, h = 0;
        window.realGeometry(left, top, w, h);
        const auto [x, y] = cursor();
        const Vector3 under = qor->graphics().viewportMapping().toScreen(
            Vector3{static_cast<float>(x - left), static_cast<float>(y - top), 0.0f});
        const Vector3 drawn = worldToScreenUnits(*stack.pointerLayer->pCamera, stack.pMousePointer->position);
        EXPECT_FALSE(stack.pMousePointer->bHidden) << "frame " << qor->frameCounter;
        EXPECT_NEAR(drawn.x, under.x, 0.5f) << "frame " << qor->frameCounter;
        EXPECT_NEAR(drawn.y, under.y, 0.5f) << "frame " << qor->frameCounter;
    }
    // Frames until `done` holds, each looked at as it was drawn.
    template <class F>
    bool watchUntil(F done, int limit = 2000) {
        return tickUntil(
            [&] {
                expectDrawnUnderTheCursor();
                return done();
            },
            limit);
    }
    void watchFrames(int n) {
        int i = 0;
        watchUntil([&] { return ++i > n; });
    }
    // The cursor moved onto the middle of `widget` of a screen whose camera looks at the
    // middle of the screen, and its left button pressed and released there.
    void clickWithTheMouse(const Renderable& widget) {
        const Vector3 at = qor->graphics().viewportMapping().toWindow(
            Vector3{400.0f + widget.position.x, 240.0f + widget.position.y, 0.0f});
        const int x = static_cast<int>(std::lround(at.x)), y = static_cast<int>(std::lround(at.y));
        int left = 0, top = 0, w = 0, h = 0;
        window.realGeometry(left, top, w, h);
        // Until the move reaches the window the program has not seen it: those frames are
        // not looked at.
        SDL_WarpMouseGlobal(left + x, top + y);
        ASSERT_TRUE(tickUntil([&] { return qor->input().rawMousePosition == std::array<int, 2>{x, y}; }, 100));
        pressAndRelease(x, y);
    }
    static bool flagsShown() {
        const Context* screen = global->pContextManager->top();
        return screen && screen->firstChild && dynamic_cast<LanguageFlag*>(static_cast<QorBase*>(screen->firstChild));
    }

    std::unique_ptr<PrivateXServer> server;  // outlives the window: declared first
    std::string oldDisplay;
    int checkedFrames = 0;  // frames in which a pointer was drawn and looked at
};
}  // namespace

TEST_P(PointerProgramTest, ThePointerIsDrawnUnderTheCursorFromTheFirstFrameOfEachStart) {
    SDL_WarpMouseGlobal(900, 200);
    // The first start, passed over to the title.
    ASSERT_TRUE(watchUntil([this] {
        if (topIs<ContextMainGame>()) return true;
        if (topIs<ContextEnterName>()) global->profiles.createProfile(u"Ann");
        if (!topIs<Loader>()) global->pContextManager->top()->bFinished = 1;
        return false;
    }));
    ASSERT_TRUE(watchUntil([] { return global->pContextManager->pOverlay->level == 0.0f; }));
    EXPECT_GT(checkedFrames, 0);
    EXPECT_EQ(cursor(), (std::pair{900, 200}));

    // Options, then Language: the program starts again and asks for the language.
    clickWithTheMouse(*top<ContextMainGame>()->optionsItem);
    ASSERT_NE(top<ContextOptions>(), nullptr);
    clickWithTheMouse(*top<ContextOptions>()->pLanguage);
    const std::pair<int, int> at = cursor();
    checkedFrames = 0;
    ASSERT_TRUE(watchUntil([] { return qor && global && flagsShown(); }));
    watchFrames(10);
    EXPECT_GT(checkedFrames, 10);
    EXPECT_EQ(cursor(), at);
}

INSTANTIATE_TEST_SUITE_P(Displays, PointerProgramTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "FullScreen" : "Windowed";
                         });
