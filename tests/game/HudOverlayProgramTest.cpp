// The aiming arrow (the mouse arrow of the player's display) inside the running program,
// steered with the mouse: it is drawn while the player aims in an Invasion being played,
// and nowhere else: not over the intro, whose hidden cannons neither aim nor fire, not
// under the tips over the game, and not under the pause menu.
#include <gtest/gtest.h>

#include "game/ContextInvasionRules.h"
#include "game/ContextPaused.h"
#include "game/GameControllerCampaign.h"
#include "game/GameControllerIntro.h"
#include "game/GameLauncher.h"
#include "game/HudOverlay.h"
#include "game/InGameOverlay.h"
#include "game/PlayerData.h"
#include "game/Vehicle.h"
#include "inputaudio/QorInput.h"
#include "support/FrameStep.h"
#include "ui/ContextGameMode.h"
#include "ui/ContextMainGame.h"
#include "ui/ContextSplash.h"
#include "ui/MenuButton.h"
#include "ui/ProgramFixture.h"

namespace {
constexpr int kEscape = 1;

class HudOverlayProgramTest : public GameProgramFixture<GameControllerCampaign> {
protected:
    static bool arrowShown(GameController& game) { return game.pHud[0]->showsMouseArrow(); }
};
}  // namespace

TEST_F(HudOverlayProgramTest, TheAimingArrowShowsOnlyWhileThePlayerAimsWithTheMouseInAGameBeingPlayed) {
    // The intro, with the mouse moving over it.
    ASSERT_TRUE(tickUntil([this] { return topIs<ContextSplash>(); }));
    global->pContextManager->top()->bFinished = 1;
    ASSERT_TRUE(tickUntil([this] { return topIs<GameControllerIntro>(); }));
    pointAt(400, 240);
    pointAt(420, 250);
    ASSERT_EQ(qor->input().inputMode, QorInput::kModeMouse);
    GameControllerIntro* intro = top<GameControllerIntro>();
    ASSERT_NE(intro, nullptr);
    ASSERT_NE(intro->playerData[0]->pVehicle.get(), nullptr);
    EXPECT_FALSE(arrowShown(*intro));

    // Past the intro and the name entry to the title, then into an Invasion with its tips.
    ASSERT_TRUE(skipToTheTitle());
    ASSERT_TRUE(tickUntil([] { return global->pContextManager->pOverlay->level == 0.0f; }));
    useScriptedDevices();
    useSteppedClock(kFrameStep);
    clickOn(*top<ContextMainGame>()->startGameItem);
    clickOn(*top<ContextGameMode>()->pInvasion);
    clickOn(*top<ContextInvasionRules>()->pStartNew);
    ASSERT_TRUE(tickUntil([this] { return top<InGameOverlay>() != nullptr; }, 300));
    ASSERT_NE(game(), nullptr);
    pointAt(420, 250);
    EXPECT_FALSE(arrowShown(*game())) << "under a tip";

    // Played: a click hands the aim to the mouse, and the arrow shows.
    ASSERT_TRUE(leadInToPlay());
    click(500, 200);
    frames(2);
    ASSERT_TRUE(playing());
    ASSERT_TRUE(game()->playerData[0]->bPointerControl);
    EXPECT_TRUE(arrowShown(*game()));

    // Paused: the menu lies over a game that stands still.
    tapKey(kEscape);
    ASSERT_NE(top<ContextPaused>(), nullptr);
    EXPECT_FALSE(arrowShown(*game())) << "under the pause menu";
    tapKey(kEscape);
    ASSERT_TRUE(playUntil([this] { return playing(); }, 20));
    click(500, 200);
    EXPECT_TRUE(arrowShown(*game()));
}
