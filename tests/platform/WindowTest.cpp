// The window on a real X server (display tests; the test's own server has no window
// manager): a full-screen request that nobody carries out still ends with the window
// covering the desktop, and a window asked for a size gets it. After a placement, a
// pointer over the window is reported once where it really is, as placed there rather
// than moved by the player.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/Window.h"
#include "platform/WindowListener.h"
#include "support/ScopedVariable.h"
#include "support/TestVideo.h"
#include "support/XServer.h"

namespace {
TEST(WindowTest, WithoutAWindowManagerFullScreenAndWindowSizesAreHadAnyway) {
    if (!std::getenv("TORVANE_DISPLAY_TESTS")) GTEST_SKIP() << "needs a display (TORVANE_DISPLAY_TESTS)";
    if (!std::getenv("DISPLAY")) LEAVE_WITHOUT_DISPLAY("needs an X server (DISPLAY)");
    ASSERT_TRUE(TestVideo::start("x11"));
    SDL_DisplayMode desktop{};
    ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &desktop), 0);
    Window window;
    ASSERT_TRUE(window.create("window test", 50, 50, 100, 100));
    int x = 0, y = 0, w = 0, h = 0;

    ASSERT_EQ(SDL_SetWindowFullscreen(window.handle(), SDL_WINDOW_FULLSCREEN_DESKTOP), 0);
    window.settleGeometry(0, 0, desktop.w, desktop.h, true);
    window.realGeometry(x, y, w, h);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(w, desktop.w);
    EXPECT_EQ(h, desktop.h);

    ASSERT_EQ(SDL_SetWindowFullscreen(window.handle(), 0), 0);
    window.placeClientArea(100, 60, 640, 384);
    window.settleGeometry(100, 60, 640, 384, false);
    window.realGeometry(x, y, w, h);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 384);
    window.destroy();
    TestVideo::stop();
    // An input mode set once the video has gone (an engine's input outliving its window)
    // shows or hides no cursor, and does not crash.
    Window::showCursor(false);
}

// Keeps the mouse moves and placements the window reports.
struct MoveRecorder : WindowListener {
    void windowFocusGained() override {}
    void windowFocusLost() override {}
    void character(char16_t) override {}
    void mouseButtonDown(int, int, int) override {}
    void mouseButtonUp(int, int, int) override {}
    void mouseMove(int x, int y) override { moves.emplace_back(x, y); }
    void pointerPlaced(int x, int y) override { placed.emplace_back(x, y); }
    void mouseWheel(int) override {}
    void touchDown(int, int, int) override {}
    void touchMove(int, int, int) override {}
    void touchUp(int, int, int) override {}
    void closeRequested() override {}
    std::vector<std::pair<int, int>> moves;
    std::vector<std::pair<int, int>> placed;
};

// The pointer moves only by the test's warps, on a server of the test's own.
class WindowPointerTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("TORVANE_DISPLAY_TESTS")) GTEST_SKIP() << "needs a display (TORVANE_DISPLAY_TESTS)";
        server = std::make_unique<PrivateXServer>(1024, 768);
        if (server->display.empty()) LEAVE_WITHOUT_DISPLAY("no Xvfb to run a private X server");
        display = std::make_unique<ScopedVariable>("DISPLAY", server->display.c_str());
        ASSERT_TRUE(TestVideo::start("x11"));
        ASSERT_TRUE(window.create("pointer test", 100, 100, 400, 300));
        window.settleGeometry(100, 100, 400, 300, true);
    }
    void TearDown() override {
        if (!server) return;  // skipped
        window.destroy();
        TestVideo::stop();
    }
    // What the window has waiting, taken out.
    MoveRecorder reported() {
        MoveRecorder recorder;
        while (window.dispatchOneEvent(recorder)) {
        }
        return recorder;
    }

    std::unique_ptr<PrivateXServer> server;  // outlives the window: declared first
    std::unique_ptr<ScopedVariable> display;
    Window window;
};

TEST_F(WindowPointerTest, APlacementReportsAPointerOverTheWindowOnceWhereItReallyIsAndNoMove) {
    using Moves = std::vector<std::pair<int, int>>;
    SDL_WarpMouseGlobal(300, 250);
    MoveRecorder got = reported();
    EXPECT_EQ(got.moves, (Moves{{200, 150}}));
    EXPECT_EQ(got.placed, Moves{});
    // The window stays put: nothing changes for SDL, but the place is reported again, for
    // a listener that may have come since (the engine of a restart).
    window.resyncPointer();
    got = reported();
    EXPECT_EQ(got.placed, (Moves{{200, 150}}));
    EXPECT_EQ(got.moves, Moves{});
    // The window moves under the still pointer, which the server reports by no event.
    window.placeClientArea(150, 120, 400, 300);
    window.settleGeometry(150, 120, 400, 300, true);
    window.resyncPointer();
    got = reported();
    EXPECT_EQ(got.placed, (Moves{{150, 130}}));
    EXPECT_EQ(got.moves, Moves{});
    // The player's moves are moves, also one that follows a placement's report at once.
    SDL_WarpMouseGlobal(310, 250);
    EXPECT_EQ(reported().moves, (Moves{{160, 130}}));
    window.resyncPointer();
    SDL_WarpMouseGlobal(320, 250);
    got = reported();
    EXPECT_EQ(got.placed, (Moves{{160, 130}}));
    EXPECT_EQ(got.moves, (Moves{{170, 130}}));
    // A pointer off the window is not reported.
    SDL_WarpMouseGlobal(900, 700);
    reported();
    window.resyncPointer();
    got = reported();
    EXPECT_EQ(got.moves, Moves{});
    EXPECT_EQ(got.placed, Moves{});
}

// Takes the presses of one key, as the console takes its chord; keeps the presses and
// the characters reported.
struct KeyTaker : MoveRecorder {
    bool keyDown(int code, unsigned modifiers, bool repeat) override {
        presses.push_back({code, modifiers, repeat});
        return code == kTaken;
    }
    void character(char16_t c) override { typed += c; }
    static constexpr int kTaken = 41;  // the grave accent key
    std::vector<std::tuple<int, unsigned, bool>> presses;
    std::u16string typed;
};

void pushKey(SDL_Scancode key, SDL_Keycode sym, Uint16 modifiers, bool repeat = false) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.scancode = key;
    e.key.keysym.sym = sym;
    e.key.keysym.mod = modifiers;
    e.key.repeat = repeat ? 1 : 0;
    SDL_PushEvent(&e);
}

void pushText(const char* utf8) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    std::snprintf(e.text.text, sizeof e.text.text, "%s", utf8);
    SDL_PushEvent(&e);
}

// A press the listener takes types nothing, however late its text comes, while the next
// key's press types again; presses are reported by their place on the keyboard, with
// the modifiers held. No display needed: the events are queued by hand.
TEST(WindowKeyTest, WhatATakenPressTypesIsNotReported) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0);
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    pushKey(SDL_SCANCODE_GRAVE, '`', KMOD_LSHIFT | KMOD_RALT);
    pushText("~");
    pushKey(SDL_SCANCODE_GRAVE, '`', KMOD_LSHIFT, true);  // held: the system repeats it
    SDL_Event up{};
    up.type = SDL_KEYUP;
    SDL_PushEvent(&up);
    pushText("\xC2\xB0");  // its text, from an input method, after the key's release
    pushKey(SDL_SCANCODE_A, 'a', KMOD_LSHIFT);
    pushText("A");
    pushKey(SDL_SCANCODE_GRAVE, '`', KMOD_LSHIFT);  // a dead key: no text of its own
    pushKey(SDL_SCANCODE_E, 'e', KMOD_NONE);
    pushText("\xC3\xAA");
    pushText("x");  // text of no key's (an input method's)
    pushKey(SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_NONE);
    Window window;
    KeyTaker taker;
    while (window.dispatchOneEvent(taker)) {
    }
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
    EXPECT_EQ(taker.typed, u"A\u00EAx\r");
    using Press = std::tuple<int, unsigned, bool>;
    EXPECT_EQ(taker.presses, (std::vector<Press>{{41, WindowListener::kLeftShift | WindowListener::kRightAlt, false},
                                                 {41, WindowListener::kLeftShift, true},
                                                 {30, WindowListener::kLeftShift, false},
                                                 {41, WindowListener::kLeftShift, false},
                                                 {18, 0, false},
                                                 {28, 0, false}}));
}
}  // namespace
