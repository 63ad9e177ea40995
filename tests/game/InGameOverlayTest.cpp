#include <gtest/gtest.h>

#include "game/InGameOverlay.h"
#include "support/GameTestEngine.h"
#include "ui/ContextManager.h"

namespace {
constexpr int kFireKey = 57;

// A tip overlay pushed on the screen stack above the running game.
class InGameOverlayTest : public ::testing::Test {
protected:
    InGameOverlayTest() : devices(engine.scriptInput()) {
        engine.input().setInputMode(QorInput::kModeMouse);
        global->configuration.keys[GameConfiguration::kKeyFire][0] = 42;
        global->configuration.keys[GameConfiguration::kKeyFire][1] = kFireKey;
        game = &engine.startGame();
        stack().addChild(game);
        frame();
        overlay = new InGameOverlay();
        overlay->addLine(u"Tree destroyed!", MenuFonts::kLarge, 100.0f);
        stack().addChild(overlay);
    }

    ContextManager& stack() { return *global->pContextManager; }
    // One frame of `seconds` (1/32 s unless said): input, then the screen stack.
    void frame(double seconds = 0.03125) {
        engine.frame(seconds);
        engine.clock.advance(seconds);
        stack().tick(0.0, 0.0);
    }
    void frames(int n) {
        for (int i = 0; i < n; ++i) frame();
    }
    void setFire(bool down) { devices.keys[kFireKey] = down ? 0x80 : 0x00; }
    bool contentShown() const { return overlay->pContent->parent != nullptr; }

    GameTestEngine engine;
    ScriptedDevices& devices;
    GameController* game = nullptr;
    InGameOverlay* overlay = nullptr;
};
}  // namespace

TEST_F(InGameOverlayTest, OpensForHalfASecondAndOnlyAFireKeyGoingDownOnceShownClosesIt) {
    const double gameClock = game->localTime;
    setFire(true);  // held while opening: never counts
    frames(8);
    EXPECT_FALSE(contentShown());
    EXPECT_FLOAT_EQ(overlay->barSize, -20.0f + 68.0f * 0.75f);
    EXPECT_EQ(overlay->panelColour >> 24, 96u);
    frames(12);
    EXPECT_EQ(overlay->state, InGameOverlay::kShown);
    EXPECT_TRUE(contentShown());
    setFire(false);
    frame();
    setFire(true);
    frame();
    EXPECT_EQ(overlay->state, InGameOverlay::kClosing);
    EXPECT_EQ(overlay->pContent->firstChild, nullptr);  // the lines go at once
    frames(8);
    EXPECT_FLOAT_EQ(overlay->barSize, 31.0f);
    EXPECT_FALSE(overlay->bFinished);
    frames(8);
    EXPECT_TRUE(overlay->bFinished);
    EXPECT_EQ(game->localTime, gameClock);  // the game waited under the panel
    frames(2);
    EXPECT_EQ(stack().top(), game);
    EXPECT_GT(game->localTime, gameClock);
}

TEST_F(InGameOverlayTest, ATouchAlsoClosesIt) {
    frames(17);
    engine.input().addMouseContact();
    frame();
    EXPECT_EQ(overlay->state, InGameOverlay::kClosing);
}

// Frames of 30 ms end the half-second opening 10 ms into a step: the bars stand at their
// full height from the frame the panel is shown, not a step's share short of it.
TEST_F(InGameOverlayTest, TheBarsAreFullFromTheFrameTheOpeningEndsWhateverTheStep) {
    int opening = 0;
    for (; overlay->state == InGameOverlay::kOpening && opening < 30; ++opening) frame(0.03);
    EXPECT_EQ(opening, 17);
    EXPECT_EQ(overlay->state, InGameOverlay::kShown);
    EXPECT_FLOAT_EQ(overlay->barSize, InGameOverlay::kBarShown);
    frame(0.03);
    EXPECT_FLOAT_EQ(overlay->barSize, InGameOverlay::kBarShown);
}
