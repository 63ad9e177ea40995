// The pause screen over a game on the screen stack, opened as a player opens it.
#include <gtest/gtest.h>

#include "game/ContextPaused.h"
#include "support/GameTestEngine.h"
#include "ui/MenuButton.h"
#include "ui/MenuItem.h"
#include "ui/MenuItemCheckboxApply.h"

namespace {
constexpr int kEscape = 1;
constexpr int kPause = 197;

class ContextPausedTest : public ::testing::Test {
protected:
    ContextPausedTest() {
        game = &engine.startGame();
        stack().addChild(game);
        frame();
    }
    ContextManager& stack() { return *global->pContextManager; }
    void frame(int key = -1) {
        engine.frame(0.03125);
        engine.clock.advance(0.03125);
        if (key >= 0) {
            engine.input().keyState[key] = QorInput::kDown;
            engine.input().previousKeyState[key] = 0;
        }
        stack().tick(0.0, 0.0);
    }
    ContextPaused* paused() { return dynamic_cast<ContextPaused*>(stack().top()); }

    GameTestEngine engine;
    GameController* game = nullptr;
};

TEST_F(ContextPausedTest, EscapeOrPauseStopsTheGameAndEscapeOrResumeGoesBack) {
    for (int key : {kEscape, kPause}) {
        frame(key);  // the game opens the screen by its class name
        ASSERT_NE(paused(), nullptr);
        const double clock = game->localTime;
        for (int i = 0; i < 5; ++i) frame();
        EXPECT_EQ(game->localTime, clock);  // standing still beneath the screen
        frame(kEscape);
        frame();
        EXPECT_EQ(stack().top(), game);
        EXPECT_FALSE(game->bFinished);
        frame();
        EXPECT_GT(game->localTime, clock);
    }
}

TEST_F(ContextPausedTest, EndGameClosesTheScreenAndTheGameTogether) {
    frame(kEscape);
    ContextPaused* screen = paused();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->pEndGame->questionText, u"Are you sure?");  // asked before it acts
    EXPECT_EQ(screen->pMute->value, &global->configuration.bMuteAudio);
    EXPECT_EQ(screen->pMute->captionLocation, MenuItem::kCaptionRight);
    screen->pEndGame->bTriggered = 1;  // as after a Yes
    frame();
    EXPECT_TRUE(game->bFinished);
    frame();
    EXPECT_EQ(stack().top(), nullptr);  // both went, top down
    EXPECT_EQ(engine.app().pCurrentGame, nullptr);
    game = nullptr;
}
}  // namespace
