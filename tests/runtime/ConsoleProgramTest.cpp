// The console inside the running program, with debugging unlocked: what it is given of
// the keyboard the screens beneath it never see.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "runtime/Console.h"
#include "support/KeyTap.h"
#include "support/XServer.h"
#include "support/Xdotool.h"
#include "ui/ProgramFixture.h"

namespace {
class ConsoleProgramTest : public ScreenSizedProgramFixture {
protected:
    std::string settingsText() const override {
        return screenSizedSettings() + "debugCode=" + std::to_string(Qor::kDebugAccessCode) + "\n";
    }
};

// On a first start's name entry: the chord, the command typed and the Enter that runs
// it reach the name field not at all, and once the console is closed the field takes
// the keyboard again.
TEST_F(ConsoleProgramTest, WhileOpenTheConsoleTakesTheKeyboardAlone) {
    ASSERT_NO_FATAL_FAILURE(startToTheNameEntry());
    Console& console = qor->console();
    pressConsoleChord();
    ASSERT_TRUE(console.bOpen);
    type("help");
    typeReturn();
    EXPECT_EQ(console.history.back(), u"Unknown command: help");
    auto* entry = top<ContextEnterName>();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->name, u"");
    EXPECT_EQ(global->profiles.countProfiles(), 0);
    pressConsoleChord();
    EXPECT_FALSE(console.bOpen);
    EXPECT_EQ(entry->name, u"");
    type("Ann");
    typeReturn();
    ASSERT_TRUE(tickUntil([this] { return topIs<ContextMainGame>(); }));
    EXPECT_EQ(global->profiles.getProfileName(global->profiles.current), u"Ann");
}

// The program on an X server of the test's own, its keyboard the server's: xdotool's
// keys come as from a real keyboard, through SDL's events and key state.
class ConsoleChordOnXTest : public ConsoleProgramTest {
protected:
    void SetUp() override {
        if (!std::getenv("TORVANE_DISPLAY_TESTS")) GTEST_SKIP() << "needs a display (TORVANE_DISPLAY_TESTS)";
        if (!xdotoolAndXvfbInstalled()) LEAVE_WITHOUT_DISPLAY("xdotool or Xvfb is missing");
        privateXScreen = {1024, 768};
        ProgramFixture::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        // The server has no window manager to give the window the keyboard.
        SDL_SetWindowInputFocus(window.handle());
    }
    static bool down(int code) { return (qor->input().keyState[code] & QorInput::kDown) != 0; }

    static constexpr int kLeftShift = 42;
};

// A player holds Left Shift as the intro hands over to the name entry, and taps the
// grave accent key and lets Shift go while the frame that builds the name entry runs:
// the program takes the window's events in only between frames, so the frame before
// read Shift down without the grave key, and the one after reads the grave key's tap
// without Shift. The chord still opens the console once, its "~" reaches no screen, and
// what is typed next is the console's.
TEST_F(ConsoleChordOnXTest, PressedWhileAScreenIsBuiltTheChordOpensTheConsoleAndTypesNothing) {
    ASSERT_TRUE(tickUntil([this] { return topIs<ContextSplash>(); }));
    global->pContextManager->top()->bFinished = 1;
    ASSERT_TRUE(tickUntil([this] { return topIs<GameControllerIntro>(); }));
    ASSERT_TRUE(tickUntil([] { return qor->windowActive; }));
    ASSERT_TRUE(xdotool("keydown Shift_L"));
    ASSERT_TRUE(tickUntil([] { return down(kLeftShift); }));
    global->pContextManager->top()->bFinished = 1;
    ASSERT_TRUE(xdotool("keydown grave keyup grave keyup Shift_L"));
    ASSERT_TRUE(WindowShell::tick(window));  // the intro ends and the name entry is built
    auto* entry = top<ContextEnterName>();
    ASSERT_NE(entry, nullptr);
    ASSERT_TRUE(KeyTap::takeInUntilReleased(SDL_SCANCODE_LSHIFT));
    frames(2);
    Console& console = qor->console();
    EXPECT_TRUE(console.bOpen);
    ASSERT_TRUE(xdotool("type --delay 0 help"));
    ASSERT_TRUE(xdotool("key Return"));
    EXPECT_TRUE(
        tickUntil([&] { return !console.history.empty() && console.history.back() == u"Unknown command: help"; }, 200));
    EXPECT_EQ(entry->name, u"");
    // Tapped at once, the chord closes it, and the name field has the keyboard again.
    ASSERT_TRUE(xdotool("key --delay 0 shift+grave"));
    ASSERT_TRUE(tickUntil([&] { return !console.bOpen; }, 200));
    ASSERT_TRUE(xdotool("type --delay 0 Ann"));
    EXPECT_TRUE(tickUntil([&] { return entry->name == u"Ann"; }, 200)) << wideToUtf8(entry->name);
}
}  // namespace
