#include <gtest/gtest.h>

#include "engine/TimeKeeper.h"
#include "inputaudio/InputTestEngine.h"
#include "platform/WindowListener.h"
#include "render/Context.h"
#include "render/EngineFixture.h"
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
    // A key's press as the window reports it between frames: true when the console takes
    // it (the window then drops what it types).
    bool press(int code, unsigned modifiers, bool repeat = false) {
        return engine.input().keyPressed(code, modifiers, repeat);
    }
    bool pressChord(bool repeat = false) { return press(Console::kKeyGrave, WindowListener::kLeftShift, repeat); }

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
    tick({}, u'A');
    EXPECT_FALSE(console->bKeyboardTaken);  // closed: the keyboard is the scene's
    // The chord is taken on its key's press, and counts in the next tick.
    EXPECT_TRUE(pressChord());
    EXPECT_FALSE(console->bOpen);
    tick({Console::kKeyGrave});
    EXPECT_TRUE(console->bOpen);
    EXPECT_TRUE(console->bKeyboardTaken);
    // Held, the key repeats: each repeat is taken (its character goes nowhere) and toggles
    // nothing.
    EXPECT_TRUE(pressChord(true));
    tick({Console::kKeyGrave});
    tick({Console::kKeyGrave});
    EXPECT_TRUE(console->bOpen);
    EXPECT_TRUE(console->bKeyboardTaken);
    // Only Left Shift makes the chord: other keys, the key alone or with Right Shift are
    // no chord.
    EXPECT_FALSE(press(30, WindowListener::kLeftShift));
    EXPECT_FALSE(press(Console::kKeyGrave, WindowListener::kRightShift));
    EXPECT_FALSE(press(Console::kKeyGrave, 0));
    tick({}, 8);  // Backspace on nothing
    EXPECT_TRUE(console->bOpen);
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
    // While locked, the chord is no chord (its character is typed), but an open console
    // keeps taking input.
    qor->bDebugLocked = 1;
    EXPECT_FALSE(pressChord());
    tick({Console::kKeyGrave}, u'~');
    EXPECT_TRUE(console->bOpen);
    EXPECT_EQ(console->input, u"~");
    // The chord that closes it is the console's too, and then the keyboard is free; two
    // within one frame toggle twice.
    qor->bDebugLocked = 0;
    EXPECT_TRUE(pressChord());
    tick({Console::kKeyGrave});
    EXPECT_FALSE(console->bOpen);
    EXPECT_TRUE(console->bKeyboardTaken);
    tick({});
    EXPECT_FALSE(console->bKeyboardTaken);
    pressChord();
    pressChord();
    tick({});
    EXPECT_FALSE(console->bOpen);
    EXPECT_TRUE(console->bKeyboardTaken);
}

TEST(ConsoleText, FollowsTheUiScaleButNeverShrinksBelowItsOwnSize) {
    EXPECT_EQ(Console::textHeightFor(768, 480), 19);  // 12 x 1.6, rounded
    EXPECT_EQ(Console::textHeightFor(192, 480), 12);  // a small window keeps it readable
    EXPECT_EQ(Console::textHeightFor(0, 0), 12);
}

TEST_F(ConsoleTest, ScrollingStaysInTheHistoryAndNewLinesFollowOnlyAtTheEnd) {
    EXPECT_EQ(console->cursor, -1);
    for (int i = 0; i < 100; ++i) console->addLine(u"line %d", i);
    EXPECT_EQ(console->cursor, 99);
    pressChord();
    tick({});
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

namespace {
class ConsoleDrawing : public EngineFixture {
protected:
    std::string settingsText() const override {
        return "[QorGraphics]\nbFullScreen=No\nvideoModeWidth=800\nvideoModeHeight=480\n";
    }
    static bool dark(std::uint32_t argb) {
        return (argb >> 16 & 0xFFu) < 0x80u && (argb >> 8 & 0xFFu) < 0x80u && (argb & 0xFFu) < 0x80u;
    }
};
}  // namespace

// Over a white screen: the prompt and two lines of 12 pixels with 4 pixels above and
// below stand on a dark panel 44 pixels high across the whole width; above it the
// screen shows as it is.
TEST_F(ConsoleDrawing, ItsLinesStandOnADarkPanelAsHighAsThey) {
    auto* scene = new Context();
    addQuad(scene, 800.0f, 480.0f, 0xFFFFFFFFu, 0.0f, 0.0f);
    Console& console = qor->console();
    console.addLine(u"one");
    console.addLine(u"two");
    console.bOpen = true;
    runFrame(scene);
    for (int x : {2, 400, 797}) {
        EXPECT_TRUE(dark(pixelAt(x, 479))) << x;
        EXPECT_TRUE(dark(pixelAt(x, 480 - 43))) << x;
        EXPECT_EQ(pixelAt(x, 480 - 45), 0xFFFFFFFFu) << x;
    }
    scene->destroy();
}
