#pragma once
// "How to Play": a Duel of two days against the computer at its weakest, played as the
// Duel is, with explanation panels at fixed points (the introduction, the controls and
// each round of the first day, the end of the first day and of the war) and three
// one-time tips during play (the first hit taken, the first shot fired, the first bonus
// balloon). Panels are InGameOverlay screens pushed above the game, which waits while
// they are up.
//
// It is never saved nor continued and enters no high-score table. The four flags only
// go from clear to set.
//
// Lifetime: as GameControllerDuel; made by the Duel rules screen through the class
// registry, which stays open beneath it. Main thread only.
#include <cstdint>

#include "game/GameControllerDuel.h"

class InGameOverlay;

class GameControllerDuelTutorial : public GameControllerDuel {
public:
    static constexpr std::int32_t kTutorialDays = 2;

    GameControllerDuelTutorial();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // Always a new war: there is no tutorial to continue.
    void startGame(const SavedGame* block) override;
    // The timed bonus balloons, then the tips.
    void tickGame() override;
    // The panels of the state entered, then the Duel's state change.
    void onStateChanged() override;

    // The panels, made anew (the caller owns them until it pushes them).
    static InGameOverlay* introPanel();
    InGameOverlay* controlsPanel() const;
    // Of round 1..3.
    static InGameOverlay* roundPanel(std::int32_t roundNumber);
    static InGameOverlay* dayOverPanel();
    static InGameOverlay* warOverPanel();

    std::uint8_t bDayOverShown = 0;  // the first day is over: no more round panels
    std::uint8_t bBonusTipShown = 0;
    std::uint8_t bHealthTipShown = 0;
    std::uint8_t bBlasterTipShown = 0;

private:
    void showStatePanels();
    void showTips();
    static void push(InGameOverlay* panel);
};
