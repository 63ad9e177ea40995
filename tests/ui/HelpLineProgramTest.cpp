// The help line of a hovered menu item inside the running program: shown while its menu
// is the top screen, gone while a popup lies over that menu, wherever the popup comes
// from: the title menu's own "Are you sure?" on Escape, and the pause menu's question
// before it ends the game, in English and in German.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/ContextInvasionRules.h"
#include "game/ContextPaused.h"
#include "game/GameControllerCampaign.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "support/FrameStep.h"
#include "ui/ContextGameMode.h"
#include "ui/ContextMainGame.h"
#include "ui/ContextPopup.h"
#include "ui/MenuButton.h"
#include "ui/MenuItemLink.h"
#include "ui/ProgramFixture.h"

namespace {
constexpr int kEscape = 1;

class HelpLineProgramTest : public GameProgramFixture<GameControllerCampaign> {
protected:
    // Whether the top screen, as drawn, shows the help line of `item`: the picture changes
    // when the line's text alone is taken away.
    static bool helpLineShows(MenuItem& item) {
        Context& screen = *global->pContextManager->top();
        int w = 0, h = 0;
        drawOffScreen(screen, w, h);  // every text of the screen in the fonts' caches
        const std::vector<std::uint32_t> with = drawOffScreen(screen, w, h);
        const std::u16string kept = item.helpText;
        item.helpText.clear();
        const std::vector<std::uint32_t> without = drawOffScreen(screen, w, h);
        item.helpText = kept;
        return with != without;
    }
    // The mouse on the middle of `widget` of a screen whose camera looks at the middle
    // of the screen (the window is as large as the virtual screen).
    void pointAtWidget(const Renderable& widget) {
        pointAt(400 + static_cast<int>(widget.position.x), 240 - static_cast<int>(widget.position.y));
    }
    // Pauses the game being played and points at the pause menu's "End game".
    ContextPaused* pauseAndPointAtEndGame() {
        tapKey(kEscape);
        auto* paused = top<ContextPaused>();
        if (paused) pointAtWidget(*paused->pEndGame);
        return paused;
    }
    // "End game" asks first; the question's popup covers the pause menu, which is left
    // as it was by the answer No.
    void expectNoHelpLineUnderTheQuestion(ContextPaused& paused, const char16_t* help) {
        MenuButton& endGame = *paused.pEndGame;
        ASSERT_TRUE(endGame.bHovered);
        EXPECT_EQ(endGame.helpText, help);
        EXPECT_TRUE(helpLineShows(endGame));
        clickOn(endGame);
        auto* question = top<ContextPopup>();
        ASSERT_NE(question, nullptr);
        ASSERT_TRUE(endGame.bHovered);  // as the pause menu's last tick left it
        EXPECT_FALSE(helpLineShows(endGame));
        clickOn(*question->secondButton);
        ASSERT_EQ(top<ContextPaused>(), &paused);
        tapKey(kEscape);
        ASSERT_TRUE(playUntil([this] { return playing(); }, 20));
    }
};
}  // namespace

TEST_F(HelpLineProgramTest, ACoveredMenuShowsNoHelpLineUnderThePopupOverIt) {
    startToTheTitle();
    useSteppedClock(kFrameStep);

    // Escape on the title menu asks before the program ends.
    auto* title = top<ContextMainGame>();
    ASSERT_NE(title, nullptr);
    MenuItemLink* website = nullptr;
    for (BasicLink* c = title->firstChild; c; c = c->next)
        if (auto* link = dynamic_cast<MenuItemLink*>(static_cast<QorBase*>(c))) website = link;
    ASSERT_NE(website, nullptr);
    pointAtWidget(*website);
    ASSERT_TRUE(website->bHovered);
    ASSERT_FALSE(website->helpText.empty());
    EXPECT_TRUE(helpLineShows(*website));
    tapKey(kEscape);
    auto* confirm = top<ContextPopup>();
    ASSERT_NE(confirm, nullptr);
    EXPECT_FALSE(helpLineShows(*website));
    clickOn(*confirm->secondButton);
    ASSERT_EQ(top<ContextMainGame>(), title);
    pointAtWidget(*website);
    EXPECT_TRUE(helpLineShows(*website)) << "on top again";

    // Into an Invasion, paused, and asked whether to end it.
    global->configuration.bInGameHelp = 0;  // no tips on the way into the game
    clickOn(*title->startGameItem);
    clickOn(*top<ContextGameMode>()->pInvasion);
    clickOn(*top<ContextInvasionRules>()->pStartNew);
    ASSERT_TRUE(leadInToPlay());
    ContextPaused* paused = pauseAndPointAtEndGame();
    ASSERT_NE(paused, nullptr);
    expectNoHelpLineUnderTheQuestion(*paused, u"Abort game (your progress is saved)");

    qor->language().setLanguage(1);
    paused = pauseAndPointAtEndGame();
    ASSERT_NE(paused, nullptr);
    expectNoHelpLineUnderTheQuestion(*paused, u"Spiel abbrechen (Ihr Fortschritt ist gespeichert)");
}
