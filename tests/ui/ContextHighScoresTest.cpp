// The high-score screens headless: the rows they draw with the test font, the table
// selector, and the options screen's reset and upload.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/MenuTestEngine.h"
#include "ui/ContextHighScores.h"
#include "ui/ContextHighScoresOnline.h"
#include "ui/FadingText.h"
#include "ui/MenuButton.h"
#include "ui/MenuItemChoice.h"
#include "ui/MenuItemLink.h"

namespace {
class ContextHighScoresTest : public ::testing::Test {
protected:
    ContextHighScoresTest() { engine.makeGlobal(); }
    // The texts drawn for the rows, in order.
    std::vector<std::u16string> rows(ContextHighScores& screen) {
        engine.font.drawn.clear();
        screen.drawRows();
        std::vector<std::u16string> texts;
        for (const auto& d : engine.font.drawn) texts.push_back(d.text);
        return texts;
    }
    Context* top() { return global->pContextManager->top(); }
    std::u16string title(Context* screen) {
        for (BasicLink* c = screen->firstChild; c; c = c->next)
            if (auto* label = dynamic_cast<FadingText*>(static_cast<QorBase*>(c))) return label->text;
        return u"";
    }
    MenuTestEngine engine;
};

TEST_F(ContextHighScoresTest, TheTitleMenusViewSelectsAmongTablesAGamesViewShowsItsOwn) {
    for (int index : {5, 9, -1}) {
        ContextHighScores all(index);
        EXPECT_NE(all.pTableSelector, nullptr) << index;
        EXPECT_EQ(all.table, 0);
        EXPECT_EQ(all.pTableSelector->getChoiceText(), u"Duel");
    }
    ContextHighScores invasion(1);
    EXPECT_EQ(invasion.pTableSelector, nullptr);
    global->configuration.insertScore(1, 50000, true, u"Ann");
    global->lastHighScorePlace = 0;
    const std::vector<std::u16string> drawn = rows(invasion);
    ASSERT_EQ(drawn.size(), 20u);
    EXPECT_EQ(drawn[0], u"Ann");
    EXPECT_EQ(drawn[1], u"50.000%");
    EXPECT_EQ(drawn[2], u"...");  // a default entry has no name
    EXPECT_EQ(drawn[3], u"20.000%");
    EXPECT_EQ(drawn[19], u"4.000%");
    EXPECT_EQ(engine.font.drawn[0].colour, invasion.highlightColour);
    EXPECT_EQ(engine.font.drawn[2].colour, 0xFFFFFFFFu);
    // A table value out of range indexes nothing.
    invasion.table = 77;
    EXPECT_EQ(rows(invasion).size(), 20u);
}

TEST_F(ContextHighScoresTest, TheHighlightPulsesBetweenItsTwoGreens) {
    EXPECT_EQ(ContextHighScores::pulseColour(0.0), 0xFFA0FF40u);
    EXPECT_EQ(ContextHighScores::pulseColour(3.14159265358979 / 32.0), 0xFFC0FF80u);
    EXPECT_EQ(ContextHighScores::pulseColour(3.0 * 3.14159265358979 / 32.0), 0xFF80FF00u);
}

TEST_F(ContextHighScoresTest, ResetRestoresTheDefaultTablesAndUploadWaitsForTheNetworkSetUp) {
    auto* options = new ContextHighScoresOnline();
    global->pContextManager->addChild(options);
    EXPECT_TRUE(options->pWorldWide->url.ends_with(u"/tv2/highscoretable.php"));
    EXPECT_EQ(options->pResetScores->questionText, u"Are you sure?");
    global->configuration.insertScore(3, 99000, true, u"Ann");
    global->lastHighScorePlace = 0;
    options->pResetScores->bTriggered = 1;
    options->tickContents(0.0, 0.0);
    EXPECT_EQ(global->lastHighScorePlace, -1);
    for (const auto& table : global->configuration.highScores)
        for (int i = 0; i < GameConfiguration::kEntries; ++i) EXPECT_EQ(table[i].score, 20000 - 2000 * i);
    for (auto [done, expected] : {std::pair{0, u"Network Wizard"}, {1, u"Upload scores"}}) {
        global->configuration.bNetworkWizardDone = static_cast<std::uint8_t>(done);
        options->pUploadScores->bTriggered = 1;
        options->tickContents(0.0, 0.0);
        EXPECT_EQ(title(top()), expected);
    }
}
}  // namespace
