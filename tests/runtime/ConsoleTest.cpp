#include <gtest/gtest.h>

#include "engine/TimeKeeper.h"
#include "inputaudio/InputTestEngine.h"
#include "runtime/Console.h"

namespace {
constexpr std::uint8_t kDown = 0x80;

class ConsoleTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine.scriptInput();
        qor->bDebugLocked = 0;
        console = new Console();
    }
    void TearDown() override { console->destroy(); }

    // One frame of the console with these keys down and this character typed.
    void tick(std::initializer_list<int> keys, char16_t typed = 0) {
        QorInput& in = engine.input();
        in.previousKeyState = in.keyState;
        in.keyState.fill(0);
        for (int k : keys) in.keyState[static_cast<std::size_t>(k)] = kDown;
        in.typedChar = typed;
        console->tickContents(0.0, 0.0);
    }
    void type(const std::u16string& text) {
        for (char16_t c : text) tick({}, c);
    }

    InputTestEngine engine;
    Console* console = nullptr;
};
}  // namespace

TEST_F(ConsoleTest, CommandsAreScannedLikeTheirPatterns) {
    console->executeCommand(u"debug5");
    EXPECT_EQ(qor->debugLevel, 5);
    console->executeCommand(u"debug 7 3");
    EXPECT_EQ(qor->debugLevel, 7);
    console->executeCommand(u" debug 9");
    EXPECT_EQ(qor->debugLevel, 7);
    EXPECT_EQ(console->history.back(), u"Unknown command:  debug 9");
    console->executeCommand(u"debug x");
    EXPECT_EQ(console->history.back(), u"Unknown command: debug x");
    console->executeCommand(u"fps 0.02");
    EXPECT_DOUBLE_EQ(qor->timer.period, 0.02);
    EXPECT_EQ(qor->timer.frameStart, qor->timer.previousFrameStart);
    console->executeCommand(u"rel 1");
    EXPECT_EQ(qor->bDebugLocked, 1);
    console->executeCommand(u"rel 0");
    EXPECT_EQ(qor->bDebugLocked, 0);
    const std::size_t lines = console->history.size();
    console->executeCommand(u"");
    EXPECT_EQ(console->history.size(), lines);
}

TEST_F(ConsoleTest, TheChordTogglesOnceAndTypingBuildsTheCommand) {
    tick({Console::kKeyLeftShift, Console::kKeyGrave});
    EXPECT_TRUE(console->bOpen);
    tick({Console::kKeyLeftShift, Console::kKeyGrave});
    tick({Console::kKeyLeftShift, Console::kKeyGrave});
    EXPECT_TRUE(console->bOpen);
    tick({}, 8);  // Backspace on nothing
    EXPECT_EQ(console->input, u"");
    type(u"debug 33");
    tick({}, 8);
    EXPECT_EQ(console->input, u"debug 3");
    tick({}, 13);
    EXPECT_EQ(qor->debugLevel, 3);
    EXPECT_EQ(console->input, u"");
    EXPECT_TRUE(console->history.empty());  // the command itself is not printed
    tick({}, 13);                           // Enter on nothing runs nothing
    EXPECT_TRUE(console->history.empty());
    // While locked, the chord does nothing, but an open console keeps taking input.
    qor->bDebugLocked = 1;
    tick({});
    tick({Console::kKeyLeftShift, Console::kKeyGrave});
    EXPECT_TRUE(console->bOpen);
    type(u"x");
    EXPECT_EQ(console->input, u"x");
}

TEST_F(ConsoleTest, ScrollingStaysInTheHistoryAndNewLinesFollowOnlyAtTheEnd) {
    EXPECT_EQ(console->cursor, -1);
    for (int i = 0; i < 100; ++i) console->addLine(u"line %d", i);
    EXPECT_EQ(console->cursor, 99);
    tick({Console::kKeyLeftShift, Console::kKeyGrave});
    for (int i = 0; i < 10; ++i) tick({Console::kKeyPageUp});
    EXPECT_EQ(console->cursor, 89);
    console->addLine(u"new");
    EXPECT_EQ(console->cursor, 89);
    for (int i = 0; i < 200; ++i) tick({Console::kKeyPageDown});
    EXPECT_EQ(console->cursor, 100);
    for (int i = 0; i < 200; ++i) tick({Console::kKeyPageUp, Console::kKeyPageDown});
    EXPECT_EQ(console->cursor, 0);
    // A line's text is never read as a format.
    console->addLine(u"%s", u"100%d");
    EXPECT_EQ(console->history.back(), u"100%d");
}

TEST_F(ConsoleTest, CrashCommandsEndTheProgram) {
    EXPECT_DEATH(console->executeCommand(u"crash"), "Crash requested.");
    EXPECT_DEATH(console->executeCommand(u"crash2"), "");
}
