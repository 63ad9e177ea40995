// The window on a real X server (display tests; the test's own server has no window
// manager): a full-screen request that nobody carries out still ends with the window
// covering the desktop, and a window asked for a size gets it.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/Window.h"
#include "support/XServer.h"

namespace {
TEST(WindowTest, WithoutAWindowManagerFullScreenAndWindowSizesAreHadAnyway) {
    if (!std::getenv("TORVANE_DISPLAY_TESTS") || !std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X server";
    setenv("SDL_VIDEODRIVER", "x11", 1);
    ASSERT_TRUE(Window::initVideo());
    if (!videoRunsOnX()) GTEST_SKIP() << "video already started on another driver";
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
    Window::shutdownVideo();
}
}  // namespace
