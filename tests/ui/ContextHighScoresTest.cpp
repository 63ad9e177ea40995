// The high-score screens headless: the rows drawn with the test font, the table
// selector, and the options screen's reset, upload and world-wide page.
#include <gtest/gtest.h>

#include <string>

#include "support/MenuTestEngine.h"
#include "ui/ContextHighScores.h"
#include "ui/ContextHighScoresOnline.h"
#include "ui/ContextNetworkWizard1.h"
#include "ui/ContextUploadScores.h"
#include "ui/FadingText.h"
#include "ui/MenuButton.h"
#include "ui/MenuItemChoice.h"
#include "ui/MenuItemLink.h"

namespace {
class ContextHighScoresTest : public ::testing::Test {
protected:
    ContextHighScoresTest() { engine.makeGlobal(); }
    MenuTestEngine engine;
};

TEST_F(ContextHighScoresTest, TheTitleMenusViewSelectsAmongTablesAGamesViewShowsItsOwn) {
    for (int index : {5, 9, -1}) {
        ContextHighScores all(index);
        ASSERT_NE(all.pTableSelector, nullptr) << index;
        EXPECT_EQ(all.pTableSelector->getChoiceText(), u"Duel");
    }
    ContextHighScores invasion(1);
    EXPECT_EQ(invasion.pTableSelector, nullptr);
    global->configuration.insertScore(1, 50000, true, u"Ann");
    global->lastHighScorePlace = 0;
    invasion.drawRows();
    const auto& drawn = engine.font.drawn;
    ASSERT_EQ(drawn.size(), 20u);
    EXPECT_EQ(drawn[0].text, u"Ann");
    EXPECT_EQ(drawn[1].text, u"50.000%");
    EXPECT_EQ(drawn[2].text, u"...");  // a default entry has no name
    EXPECT_EQ(drawn[3].text, u"20.000%");
    EXPECT_EQ(drawn[19].text, u"4.000%");
    EXPECT_EQ(drawn[0].colour, invasion.highlightColour);
    EXPECT_EQ(drawn[2].colour, 0xFFFFFFFFu);
    invasion.table = 77;  // out of range: indexes nothing
    invasion.drawRows();
    EXPECT_EQ(drawn.size(), 40u);
}

TEST_F(ContextHighScoresTest, ResetRestoresTheDefaultTablesAndUploadWaitsForTheNetworkSetUp) {
    auto* options = new ContextHighScoresOnline();
    global->pContextManager->addChild(options);
    global->configuration.insertScore(3, 99000, true, u"Ann");
    global->lastHighScorePlace = 0;
    options->pResetScores->bTriggered = 1;
    options->tickContents(0.0, 0.0);
    EXPECT_EQ(global->lastHighScorePlace, -1);
    for (const auto& table : global->configuration.highScores)
        for (int i = 0; i < GameConfiguration::kEntries; ++i) EXPECT_EQ(table[i].score, 20000 - 2000 * i);
    // Upload needs the network set-up first; the world-wide tables are a page of the service.
    options->pUploadScores->bTriggered = 1;
    options->tickContents(0.0, 0.0);
    EXPECT_NE(dynamic_cast<ContextNetworkWizard1*>(global->pContextManager->top()), nullptr);
    global->configuration.bNetworkWizardDone = 1;
    options->pUploadScores->bTriggered = 1;
    options->tickContents(0.0, 0.0);
    EXPECT_NE(dynamic_cast<ContextUploadScores*>(global->pContextManager->top()), nullptr);
    EXPECT_EQ(options->pWorldWide->url, u"http://localhost:8079/tv2/highscoretable.php");
}
}  // namespace
