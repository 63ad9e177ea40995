// The high-score screens headless: the rows drawn with the test font, the table
// selector, and the options screen's reset and upload.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "support/MenuTestEngine.h"
#include "ui/ContextHighScores.h"
#include "ui/ContextHighScoresOnline.h"
#include "ui/FadingText.h"
#include "ui/MenuButton.h"
#include "ui/MenuItemChoice.h"

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
    // The network part's screens stand as titled screens for now.
    for (auto [done, button, title] : {std::tuple{0, options->pUploadScores, u"Network Wizard"},
                                       {1, options->pUploadScores, u"Upload scores"},
                                       {0, options->pWorldWide, u"World-wide scores"}}) {
        global->configuration.bNetworkWizardDone = static_cast<std::uint8_t>(done);
        button->bTriggered = 1;
        options->tickContents(0.0, 0.0);
        auto* label = dynamic_cast<FadingText*>(static_cast<QorBase*>(global->pContextManager->top()->firstChild));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text, title);
    }
}
}  // namespace
