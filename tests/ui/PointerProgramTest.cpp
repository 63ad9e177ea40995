// The mouse pointer of the running program on an X server of the test's own, at two
// screen sizes, full screen as a player starts it and in a window (left where it was, or
// moved before the restart, which puts it back), in English and in German, with the
// mouse moved and clicked through that server. On every frame that draws the pointer
// with the mouse over the window, from the first start and after the restart that the
// language change makes, the pointer stands where the mouse cursor is, and every frame of
// the flag screen draws it; the cursor goes only where the player or the program puts
// it: onto the spot where the flag screen parks the pointer, never when the mouse takes
// over, nor while it is off the window. The player's first act on the flag screen, a
// one-pixel move or a quick click on a flag, moves the cursor no further than the hand
// did, and the flag clicked is the language chosen. A mouse that comes into the window
// from off it, at the first start and after the restart, finds the pointer where it
// comes, and its first click acts there.
#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "engine/ChildIterator.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "support/XServer.h"
#include "support/Xdotool.h"
#include "ui/ContextHelp.h"
#include "ui/ContextOptions.h"
#include "ui/ContextSound.h"
#include "ui/FadingText.h"
#include "ui/LanguageFlag.h"
#include "ui/MenuButton.h"
#include "ui/MousePointer.h"
#include "ui/ProfileWidget.h"
#include "ui/ProgramFixture.h"
#include "ui/ScreenUnits.h"

namespace {
using Point = std::pair<int, int>;

struct Display {
    int width, height;
    bool fullScreen;
    bool moved;       // the window is moved before the restart, which puts it back in the middle
    bool clickFirst;  // the first act on the flag screen is a click on a flag, not a move
    int language;     // 0 English, 1 German
    const char* name;
};
void PrintTo(const Display& display, std::ostream* out) { *out << display.name; }

class PointerProgramTest : public ProgramFixture, public ::testing::WithParamInterface<Display> {
protected:
    void SetUp() override {
        privateXScreen = {GetParam().width, GetParam().height};
        ProgramFixture::SetUp();
    }
    // The program's own first window; the graphics take the whole screen, or put an
    // 800 x 480 window in its middle.
    std::pair<int, int> windowSize() const override { return {100, 100}; }
    std::string settingsText() const override {
        const std::string language = "[Qor]\ndefaultLanguage=" + std::to_string(GetParam().language) + "\n";
        if (GetParam().fullScreen) return language;
        return "[QorGraphics]\nbFullScreen=No\nvideoModeWidth=800\nvideoModeHeight=480\n" + language;
    }

    // Where the X server has the cursor, on its screen.
    static Point cursor() {
        Point at;
        SDL_GetGlobalMouseState(&at.first, &at.second);
        return at;
    }
    // Where the program's pointer at `units` puts the cursor: the screen pixel it warps to.
    Point cursorFor(float x, float y) const {
        const auto [left, top] = windowCorner();
        const Vector3 at = qor->graphics().viewportMapping().toWindow(Vector3{x, y, 0.0f});
        return {left + static_cast<int>(at.x), top + static_cast<int>(at.y)};
    }
    // Whether a point of the screen lies on the window's client area.
    bool overTheWindow(Point at) const {
        int left = 0, top = 0, w = 0, h = 0;
        window.realGeometry(left, top, w, h);
        return at.first >= left && at.second >= top && at.first < left + w && at.second < top + h;
    }
    // Where the window's client area has its top-left corner on the screen.
    Point windowCorner() const {
        Point corner;
        int w = 0, h = 0;
        window.realGeometry(corner.first, corner.second, w, h);
        return corner;
    }
    // After a frame: where the cursor went, and, when the frame drew the shared pointer
    // with the cursor over the window, that it stood on the cursor's pixel. Frames that
    // show the flags are counted, and those of them that drew the pointer.
    void lookAtTheFrame() {
        if (!qor || !global || !global->pContextManager) return;
        const Point at = cursor();
        if (trail.empty() || trail.back() != at) trail.push_back(at);
        const ContextManager& stack = *global->pContextManager;
        const Context* screen = stack.top();
        const MousePointer& sprite = *stack.pMousePointer;
        if (stack.pOverlay->coversScreen()) return;
        const bool drawn = screen && screen->bShowPointer && !screen->pPointer && qor->windowActive && !sprite.bHidden;
        if (flagsShown()) {
            ++flagFrames;
            drawnFlagFrames += drawn ? 1 : 0;
        }
        if (!drawn || !overTheWindow(at)) return;
        ++drawnFrames;
        const auto [left, top] = windowCorner();
        const Vector3 drawnAt = qor->graphics().viewportMapping().toWindow(
            worldToScreenUnits(*stack.pointerLayer->pCamera, sprite.position));
        // The pointer's point lies in the cursor's pixel (a warp cuts it down to whole
        // pixels), give or take the rounding of the conversions.
        EXPECT_NEAR(drawnAt.x, static_cast<float>(at.first - left) + 0.5f, 0.51f) << "frame " << qor->frameCounter;
        EXPECT_NEAR(drawnAt.y, static_cast<float>(at.second - top) + 0.5f, 0.51f) << "frame " << qor->frameCounter;
    }
    // Frames until `done` holds, each looked at as it was drawn.
    template <class F>
    bool watchUntil(F done, int limit = 2000) {
        return tickUntil(
            [&] {
                lookAtTheFrame();
                return done();
            },
            limit);
    }
    void watchFrames(int n) {
        for (int i = 0; i < n && !ended; ++i) {
            ended = !runOneMoreFrame();
            lookAtTheFrame();
        }
    }
    // The cursor moved onto the middle of `widget` of a screen whose camera looks at the
    // middle of the screen, then its left button pressed and released there: once the
    // program has seen the move (the frames before show the pointer behind the cursor, and
    // are not looked at), or, by a quick hand, before the program's next frame. The
    // cursor's way starts again from there; returns that place.
    Point clickWithTheMouse(const Renderable& widget, bool quickly = false) {
        const Vector3 at = qor->graphics().viewportMapping().toWindow(
            Vector3{400.0f + widget.position.x, 240.0f + widget.position.y, 0.0f});
        const int x = static_cast<int>(std::lround(at.x)), y = static_cast<int>(std::lround(at.y));
        const auto [left, top] = windowCorner();
        SDL_WarpMouseGlobal(left + x, top + y);
        if (quickly)
            SDL_PumpEvents();  // the move waits in the window's queue before the button
        else
            EXPECT_TRUE(tickUntil([&] { return qor->input().rawMousePosition == std::array<int, 2>{x, y}; }, 100));
        trail = {cursor()};
        pushLeftButton(SDL_MOUSEBUTTONDOWN, x, y);
        if (!quickly) watchFrames(3);
        pushLeftButton(SDL_MOUSEBUTTONUP, x, y);
        watchFrames(3);
        return trail.front();
    }
    // The cursor moved one pixel to the right, then a few frames once the program has seen
    // the move (the frames before it did are not looked at, as for a click).
    void nudgeTheMouse() {
        const Point from = cursor();
        SDL_WarpMouseGlobal(from.first + 1, from.second);
        const std::array<int, 2> before = qor->input().rawMousePosition;
        EXPECT_TRUE(tickUntil([&] { return qor->input().rawMousePosition != before; }, 100));
        watchFrames(3);
    }
    // The window moved up and to the left, as a player drags it.
    void moveTheWindow() {
        int left = 0, top = 0, w = 0, h = 0;
        window.realGeometry(left, top, w, h);
        window.placeClientArea(left - 60, top - 40, w, h);
        window.settleGeometry(left - 60, top - 40, w, h, true);
    }
    static bool flagsShown() {
        const Context* screen = global->pContextManager->top();
        return screen && screen->firstChild && dynamic_cast<LanguageFlag*>(static_cast<QorBase*>(screen->firstChild));
    }
    static const LanguageFlag* flagOf(int language) {
        for (ChildIterator it(global->pContextManager->top()); !it.done; it.next()) {
            const auto* flag = dynamic_cast<LanguageFlag*>(static_cast<QorBase*>(it.current));
            if (flag && flag->languageIndex == language) return flag;
        }
        return nullptr;
    }

    std::vector<Point> trail;  // the cursor's places, one entry per move
    int drawnFrames = 0;       // frames that drew the shared pointer, all looked at
    int flagFrames = 0;        // frames that showed the flags
    int drawnFlagFrames = 0;   // of those, the frames that drew the shared pointer
};
}  // namespace

TEST_P(PointerProgramTest, ThePointerIsDrawnOnTheCursorWhichGoesOnlyWhereTheHandOrTheProgramPutsIt) {
    const Display& display = GetParam();
    // Over the middle of the screen, where the program's window will be, but off the
    // small window it starts with.
    const Point start{display.width / 2 + 260, display.height / 2 - 200};
    SDL_WarpMouseGlobal(start.first, start.second);
    trail = {start};
    // The first start, passed over to the title.
    ASSERT_TRUE(watchUntil([this] { return passOverToTheTitle(); }));
    ASSERT_TRUE(watchUntil([] { return global->pContextManager->pOverlay->level == 0.0f; }));
    EXPECT_GT(drawnFrames, 0);
    // The window appeared under the cursor, which the pointer started at and which stayed
    // where it was.
    EXPECT_EQ(trail, std::vector<Point>{start});

    // Options, then Language: the program starts again and asks for the language.
    const Point middle = windowCorner();
    if (display.moved) moveTheWindow();
    clickWithTheMouse(*top<ContextMainGame>()->optionsItem);
    ASSERT_NE(top<ContextOptions>(), nullptr);
    const Point item = clickWithTheMouse(*top<ContextOptions>()->pLanguage);
    ASSERT_TRUE(watchUntil([] { return qor && global && flagsShown(); }));
    watchFrames(10);
    EXPECT_EQ(windowCorner(), middle);
    // The engine is new, and the mouse is still over the window, whether the window moved
    // under it (into full screen, or back into the middle) or not: the pointer starts
    // under the cursor as at the first start, and the flag screen then parks it, drawn
    // from its first frame.
    EXPECT_GT(flagFrames, 10);
    EXPECT_EQ(drawnFlagFrames, flagFrames);
    EXPECT_EQ(trail, (std::vector<Point>{item, cursorFor(720.0f, 48.0f)}));

    // The player's first act there: a one-pixel move, or at once a quick click on a flag.
    // The cursor goes only where the hand puts it, and the flag clicked is chosen.
    if (!display.clickFirst) {
        const Point parked = cursor();
        trail = {parked};
        nudgeTheMouse();
        EXPECT_EQ(trail, (std::vector<Point>{parked, {parked.first + 1, parked.second}}));
    }
    const int other = 1 - display.language;
    const LanguageFlag* flag = flagOf(other);
    ASSERT_NE(flag, nullptr);
    const Point onTheFlag = clickWithTheMouse(*flag, display.clickFirst);
    EXPECT_EQ(trail, std::vector<Point>{onTheFlag});
    EXPECT_FALSE(flagsShown());
    EXPECT_EQ(qor->defaultLanguage, other);
}

// A 1280 x 800 window in the middle of a 1600 x 1000 screen, with the keyboard's focus as
// a window manager gives it, and the mouse off the window at the first start and over
// the language restart.
class MouseComingInTest : public PointerProgramTest {
protected:
    // The keys come through xdotool.
    void SetUp() override {
        if (!std::getenv("TORVANE_DISPLAY_TESTS")) GTEST_SKIP() << "needs a display (TORVANE_DISPLAY_TESTS)";
        if (!xdotoolAndXvfbInstalled()) LEAVE_WITHOUT_DISPLAY("xdotool or Xvfb is missing");
        PointerProgramTest::SetUp();
    }
    std::string settingsText() const override {
        return "[QorGraphics]\nbFullScreen=No\nvideoModeWidth=1280\nvideoModeHeight=800\n[Qor]\ndefaultLanguage=0\n";
    }
    // The test's server has no window manager to give the window the keyboard.
    void focusTheWindow() { SDL_SetWindowInputFocus(window.handle()); }
    static std::u16string profileHint() {
        for (ChildIterator it(global->pContextManager->top()); !it.done; it.next())
            if (const auto* widget = dynamic_cast<ProfileWidget*>(static_cast<QorBase*>(it.current)))
                return widget->hintLabel->text;
        return u"";
    }
    static constexpr Point kOff{1560, 960};  // off the window, below and right of it
    static constexpr int kUp = 200;          // the Up key's input code
};

TEST_P(MouseComingInTest, TheMouseComingInFindsThePointerWhereItComesAndClicksThere) {
    SDL_WarpMouseGlobal(kOff.first, kOff.second);
    focusTheWindow();
    trail = {kOff};
    ASSERT_TRUE(watchUntil([this] { return passOverToTheTitle(); }));
    ASSERT_TRUE(watchUntil([] { return global->pContextManager->pOverlay->level == 0.0f; }));
    ASSERT_TRUE(qor->windowActive);
    // A player with a mouse is addressed as one before the mouse comes in.
    EXPECT_EQ(qor->input().inputMode, QorInput::kModeMouse);
    EXPECT_EQ(profileHint(), qor->language().getString(StringId::CLICKTOCHANGEPLAYERS));
    EXPECT_EQ(drawnFrames, 0);

    // The mouse comes in onto Options and clicks at once: the cursor stays where the hand
    // put it, the pointer is drawn there, and Options opens.
    const Point onOptions = clickWithTheMouse(*top<ContextMainGame>()->optionsItem, true);
    EXPECT_EQ(trail, std::vector<Point>{onOptions});
    ASSERT_NE(top<ContextOptions>(), nullptr);
    EXPECT_GT(drawnFrames, 0);

    // The mouse leaves; the keyboard moves the pointer from item to item, and the cursor,
    // off the window, stays where it is.
    SDL_WarpMouseGlobal(kOff.first, kOff.second);
    ASSERT_TRUE(watchUntil([] { return SDL_GetMouseFocus() == nullptr; }, 100));
    trail = {kOff};
    const Vector3 before = qor->input().pointerPosition;
    ASSERT_TRUE(xdotool("keydown Up"));
    EXPECT_TRUE(watchUntil([] { return qor->input().wasPressed(kUp); }, 100));
    ASSERT_TRUE(xdotool("keyup Up"));
    EXPECT_TRUE(watchUntil([] { return !(qor->input().keyState[kUp] & QorInput::kDown); }, 100));
    watchFrames(2);
    EXPECT_NE(qor->input().pointerPosition.y, before.y);
    EXPECT_EQ(trail, std::vector<Point>{kOff});

    // Language, and the mouse leaves the window while the program starts again.
    const MenuButton& language = *top<ContextOptions>()->pLanguage;
    const Vector3 at = qor->graphics().viewportMapping().toWindow(
        Vector3{400.0f + language.position.x, 240.0f + language.position.y, 0.0f});
    const int x = static_cast<int>(std::lround(at.x)), y = static_cast<int>(std::lround(at.y));
    const Point corner = windowCorner();
    SDL_WarpMouseGlobal(corner.first + x, corner.second + y);
    SDL_PumpEvents();
    pushLeftButton(SDL_MOUSEBUTTONDOWN, x, y);
    pushLeftButton(SDL_MOUSEBUTTONUP, x, y);
    watchFrames(1);
    SDL_WarpMouseGlobal(kOff.first, kOff.second);
    trail = {kOff};
    ASSERT_TRUE(watchUntil([] { return qor && global && flagsShown(); }));
    focusTheWindow();
    watchFrames(10);
    ASSERT_TRUE(qor->windowActive);
    EXPECT_EQ(qor->input().inputMode, QorInput::kModeMouse);
    EXPECT_EQ(trail, std::vector<Point>{kOff});

    // The mouse comes in onto the German flag and clicks at once: the cursor stays where
    // the hand put it, and German is chosen.
    const LanguageFlag* flag = flagOf(1);
    ASSERT_NE(flag, nullptr);
    const Point onTheFlag = clickWithTheMouse(*flag, true);
    EXPECT_EQ(trail, std::vector<Point>{onTheFlag});
    EXPECT_FALSE(flagsShown());
    EXPECT_EQ(qor->defaultLanguage, 1);
}

// A player who pushes the mouse aside to play with the keys: off a 1280 x 800 window in the
// middle of a 1600 x 1000 screen, or onto the bar below the picture of a full 1280 x 1024
// screen.
class MouseAsideTest : public MouseComingInTest {
protected:
    std::string settingsText() const override {
        const std::string language = "[Qor]\ndefaultLanguage=" + std::to_string(GetParam().language) + "\n";
        if (GetParam().fullScreen) return language;
        return "[QorGraphics]\nbFullScreen=No\nvideoModeWidth=1280\nvideoModeHeight=800\n" + language;
    }
    // The screen pixel the middle of `widget` of a screen whose camera looks at the middle
    // of the screen is shown at.
    Point pixelOf(const Renderable& widget) const {
        const auto [x, y] = windowPixelOf(widget.position);
        const auto [left, top] = windowCorner();
        return {left + x, top + y};
    }
    // Frames until `done` holds, the cursor's places noted. The pointer is not looked for
    // on the cursor: over a full screen's bar the cursor is off the picture, the pointer on
    // its edge.
    template <class F>
    bool followUntil(F done, int limit = 100) {
        return tickUntil(
            [&] {
                if (trail.empty() || trail.back() != cursor()) trail.push_back(cursor());
                return done();
            },
            limit);
    }
    // The mouse moved to `to` on the screen, once the program has seen it there.
    void moveTheMouse(Point to) {
        SDL_WarpMouseGlobal(to.first, to.second);
        const auto [left, top] = windowCorner();
        const std::array<int, 2> raw{to.first - left, to.second - top};
        const bool seen = overTheWindow(to) ? followUntil([&] { return qor->input().rawMousePosition == raw; })
                                            : followUntil([] { return SDL_GetMouseFocus() == nullptr; });
        ASSERT_TRUE(seen);
        trail = {to};
    }
    // Off the window beside `item` at its height, or, in full screen, onto the bar below
    // the picture under it.
    Point besideTheWindow(Point item) const {
        int left = 0, top = 0, w = 0, h = 0;
        window.realGeometry(left, top, w, h);
        if (GetParam().fullScreen) return {item.first, top + h - 5};
        return {left + w + 40, item.second};
    }
    // A key pressed and released through the X server, each seen by the program, then
    // the frames of the click that a released Return makes.
    void tapKey(const std::string& name, int code) {
        ASSERT_TRUE(xdotool("keydown " + name));
        EXPECT_TRUE(followUntil([code] { return qor->input().wasPressed(code); })) << name;
        ASSERT_TRUE(xdotool("keyup " + name));
        EXPECT_TRUE(followUntil([code] { return !(qor->input().keyState[code] & QorInput::kDown); })) << name;
        int frames = 0;
        followUntil([&] { return ++frames > 3; });
    }
    bool irisOpen() { return global->pContextManager->pOverlay->level == 0.0f; }
    // The cursor stayed where the hand left it: a window's keys never move a cursor off it
    // (over a full screen it follows the pointer, as ever).
    void expectTheCursorStayed(Point at) {
        if (!GetParam().fullScreen) {
            EXPECT_EQ(trail, std::vector<Point>{at});
        }
    }

    // The screen's bottom right corner.
    static Point corner() { return {GetParam().width - 1, GetParam().height - 1}; }

    static constexpr int kDown = 208, kReturn = 28, kEscape = 1;  // input codes
};

TEST_P(MouseAsideTest, TheKeysCarryOnFromTheItemLastUnderThePointerWhereverTheMouseWent) {
    SDL_WarpMouseGlobal(corner().first, corner().second);
    focusTheWindow();
    ASSERT_TRUE(followUntil([this] { return passOverToTheTitle(); }, 2000));
    ASSERT_TRUE(followUntil([this] { return irisOpen(); }, 2000));

    // Options clicked: the pointer then stands on Language. The mouse goes back to the
    // screen's corner; Down lights Help, which the next two keep (nothing lies below it),
    // and Return opens it.
    clickWithTheMouse(*top<ContextMainGame>()->optionsItem);
    ContextOptions* options = top<ContextOptions>();
    ASSERT_NE(options, nullptr);
    ASSERT_TRUE(followUntil([this] { return irisOpen(); }));
    EXPECT_TRUE(options->pLanguage->bHovered);
    ASSERT_NO_FATAL_FAILURE(moveTheMouse(corner()));
    for (int i = 0; i < 3; ++i) {
        ASSERT_NO_FATAL_FAILURE(tapKey("Down", kDown));
        EXPECT_TRUE(options->pHelp->bHovered) << "Down " << i + 1;
    }
    expectTheCursorStayed(corner());
    ASSERT_NO_FATAL_FAILURE(tapKey("Return", kReturn));
    EXPECT_TRUE(followUntil([this] { return topIs<ContextHelp>(); }));

    // Back in Options, the mouse comes onto Gameplay and leaves beside it: Down lights
    // Controls, two more Sound, and Return opens the sound options.
    ASSERT_NO_FATAL_FAILURE(tapKey("Escape", kEscape));
    ASSERT_TRUE(followUntil([&] { return top<ContextOptions>() == options && irisOpen(); }, 200));
    const Point gameplay = pixelOf(*options->pGameplay);
    ASSERT_NO_FATAL_FAILURE(moveTheMouse(gameplay));
    EXPECT_TRUE(followUntil([&] { return options->pGameplay->bHovered; }));
    const Point aside = besideTheWindow(gameplay);
    ASSERT_NO_FATAL_FAILURE(moveTheMouse(aside));
    ASSERT_NO_FATAL_FAILURE(tapKey("Down", kDown));
    EXPECT_TRUE(options->pControls->bHovered);
    ASSERT_NO_FATAL_FAILURE(tapKey("Down", kDown));
    ASSERT_NO_FATAL_FAILURE(tapKey("Down", kDown));
    EXPECT_TRUE(options->pSound->bHovered);
    expectTheCursorStayed(aside);
    ASSERT_NO_FATAL_FAILURE(tapKey("Return", kReturn));
    EXPECT_TRUE(followUntil([this] { return topIs<ContextSound>(); }));
}

INSTANTIATE_TEST_SUITE_P(Displays, MouseAsideTest,
                         ::testing::Values(Display{1600, 1000, false, false, false, 0, "Window1280x800English"},
                                           Display{1280, 1024, true, false, false, 1, "FullScreen1280x1024German"}),
                         [](const ::testing::TestParamInfo<Display>& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(Window1280x800On1600x1000, MouseComingInTest,
                         ::testing::Values(Display{1600, 1000, false, false, true, 0, "English"}),
                         [](const ::testing::TestParamInfo<Display>& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(Displays, PointerProgramTest,
                         ::testing::Values(Display{1280, 800, true, false, false, 0, "FullScreen1280x800English"},
                                           Display{1280, 800, false, false, false, 1, "Window1280x800German"},
                                           Display{1280, 800, false, true, true, 0, "MovedWindow1280x800English"},
                                           Display{1920, 1080, true, false, true, 1, "FullScreen1920x1080German"},
                                           Display{1920, 1080, false, false, true, 0, "Window1920x1080English"},
                                           Display{1920, 1080, false, true, false, 1, "MovedWindow1920x1080German"}),
                         [](const ::testing::TestParamInfo<Display>& info) { return info.param.name; });
