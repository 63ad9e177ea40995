// The console inside the running program, with debugging unlocked: what it is given of
// the keyboard the screens beneath it never see.
#include <SDL.h>
#include <gtest/gtest.h>

#include <string>

#include "runtime/Console.h"
#include "ui/ProgramFixture.h"

namespace {
class ConsoleProgramTest : public ScreenSizedProgramFixture {
protected:
    std::string settingsText() const override {
        return screenSizedSettings() + "debugCode=" + std::to_string(Qor::kDebugAccessCode) + "\n";
    }
    // Left Shift and the grave accent key held for a few frames, the window reporting
    // the "~" they type, then let go.
    void pressChord() {
        devices->keys[Console::kKeyLeftShift] = devices->keys[Console::kKeyGrave] = 0x80;
        SDL_Event e{};
        e.type = SDL_TEXTINPUT;
        e.text.text[0] = '~';
        SDL_PushEvent(&e);
        frames(3);
        devices->keys[Console::kKeyLeftShift] = devices->keys[Console::kKeyGrave] = 0;
        frames(3);
    }
};

// On a first start's name entry: the chord, the command typed and the Enter that runs
// it reach the name field not at all, and once the console is closed the field takes
// the keyboard again.
TEST_F(ConsoleProgramTest, WhileOpenTheConsoleTakesTheKeyboardAlone) {
    ASSERT_NO_FATAL_FAILURE(startToTheNameEntry());
    Console& console = qor->console();
    pressChord();
    ASSERT_TRUE(console.bOpen);
    type("help");
    typeReturn();
    EXPECT_EQ(console.history.back(), u"Unknown command: help");
    auto* entry = top<ContextEnterName>();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->name, u"");
    EXPECT_EQ(global->profiles.countProfiles(), 0);
    pressChord();
    EXPECT_FALSE(console.bOpen);
    EXPECT_EQ(entry->name, u"");
    type("Ann");
    typeReturn();
    ASSERT_TRUE(tickUntil([this] { return topIs<ContextMainGame>(); }));
    EXPECT_EQ(global->profiles.getProfileName(global->profiles.current), u"Ann");
}
}  // namespace
