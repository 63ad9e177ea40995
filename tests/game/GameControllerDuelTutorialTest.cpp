#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "game/DuelGame.h"
#include "game/GameControllerDuelTutorial.h"
#include "game/InGameOverlay.h"
#include "game/PlayerData.h"
#include "game/Vehicle.h"
#include "ui/FadingText.h"
#include "ui/TextBacking.h"

namespace {
using State = GameControllerDuel::State;

class GameControllerDuelTutorialTest : public DuelGame {
protected:
    static std::vector<std::u16string> lines(const InGameOverlay& panel) {
        std::vector<std::u16string> texts;
        for (BasicLink* c = panel.pContent->firstChild; c; c = c->next)
            texts.push_back(static_cast<FadingText*>(c)->text);
        return texts;
    }
    // The first line of every panel pushed since the last call, bottom to top.
    std::vector<std::u16string> newPanels() {
        std::vector<std::u16string> titles;
        for (InGameOverlay* panel : pushed<InGameOverlay>()) {
            titles.push_back(lines(*panel).front());
            panel->destroy();
        }
        return titles;
    }
    void endRound() {
        parkVehicles();
        duel().onVehicleDestroyed(0);
        runFor(GameControllerDuel::kRoundEndDelay);
    }
    using Titles = std::vector<std::u16string>;
};
}  // namespace

// The introduction, the controls and round panels of the first day only, the end of the
// first day, and on the last day only the end of the war; the profile's saved Duel is
// neither written nor cleared.
TEST_F(GameControllerDuelTutorialTest, ExplainsTheFirstDayAndTheEndsAndLeavesTheSavedDuelAlone) {
    auto& saved = global->profiles.profiles[0].duelGame;
    saved.fill(0x5A);
    const auto before = saved;
    GameControllerDuelTutorial& t = start<GameControllerDuelTutorial>();
    t.bHealthTipShown = t.bBlasterTipShown = t.bBonusTipShown = 1;  // the tips have a test of their own
    EXPECT_EQ(duel().days, 2);
    EXPECT_EQ(duel().scoreTable, GameController::kNoScoreTable);
    ASSERT_TRUE(runUntilState(State::kStart, 2.0));
    EXPECT_EQ(newPanels(), Titles{u"Let's Go!"});
    const std::u16string rounds[3] = {u"Sunrise: Attack round", u"Noon: Defense round", u"Sunset: Dogfight round"};
    for (int day = 1; day <= 2; ++day) {
        for (int round = 0; round < 3; ++round) {
            ASSERT_TRUE(runUntilState(State::kPlaying, 10.0));
            const Titles shown = newPanels();
            if (day == 2)
                EXPECT_TRUE(shown.empty());
            else if (round == 0)
                EXPECT_EQ(shown,
                          (Titles{u"Move the arrow pointer on the screen and your sleigh will follow it.", rounds[0]}));
            else
                EXPECT_EQ(shown, Titles{rounds[round]});
            endRound();
        }
        ASSERT_TRUE(runUntilState(State::kFadeOut, 4.0));
        EXPECT_EQ(newPanels(), day == 1 ? Titles{u"Day over!"} : Titles{u"War over!"});
    }
    ASSERT_TRUE(runUntilState(State::kEnd, 3.0));
    EXPECT_EQ(saved, before);
}

// Each tip once: the first hit, the first shot, the first balloon; all three in one
// frame lie in that order, the bonus tip on top.
TEST_F(GameControllerDuelTutorialTest, ShowsEachTipOnceAndInItsOrder) {
    start<GameControllerDuelTutorial>();
    ASSERT_TRUE(runUntilState(State::kPlaying, 12.0));
    newPanels();
    step();
    EXPECT_TRUE(newPanels().empty());
    for (int i = 0; i < 2; ++i) {
        Vehicle* v = player(0).pVehicle.get();
        ASSERT_NE(v, nullptr);
        v->health = 0.5f;
        v->energy = 0.5f;
        duel().spawnBonusBalloon(0.0f, 200.0f, 0.0f, 90.0);
        duel().tickGame();
        EXPECT_EQ(newPanels(), i == 0 ? (Titles{u"Your health", u"Your blaster", u"A bonus has appeared!"}) : Titles{});
    }
}

class TutorialControlsTest : public GameControllerDuelTutorialTest, public ::testing::WithParamInterface<int> {};

// Touch: the finger texts; mouse: the pointer texts and the keyboard's keys of the
// person's side; otherwise the pointer texts alone.
TEST_P(TutorialControlsTest, TheControlsPanelSuitsTheInputMode) {
    const int mode = GetParam();
    engine.input().setInputMode(mode);
    const std::unique_ptr<InGameOverlay> panel(start<GameControllerDuelTutorial>().controlsPanel());
    const std::vector<std::u16string> shown = lines(*panel);
    ASSERT_EQ(shown.size(), mode == QorInput::kModeMouse ? 5u : 4u);
    EXPECT_EQ(shown[0], mode == QorInput::kModeTouch
                            ? u"Drag your finger on the screen and your sleigh will follow it."
                            : u"Move the arrow pointer on the screen and your sleigh will follow it.");
    EXPECT_EQ(shown[3], mode == QorInput::kModeTouch ? u"Tap to release bombs." : u"Click to release bombs.");
    if (mode == QorInput::kModeMouse) {
        EXPECT_EQ(shown[4].substr(0, 11), u"(Keyboard: ");
        // Over the islands at the bottom, the keys stand on a backing.
        EXPECT_EQ(static_cast<FadingText*>(panel->pContent->lastChild)->backing, TextBacking::kColour);
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, TutorialControlsTest, ::testing::Values(0, 1, 2));
