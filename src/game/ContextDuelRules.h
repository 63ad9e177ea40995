#pragma once
// The Duel rules screen: the opponent (a friend or the computer) and the difficulty,
// written straight into the configuration record (the difficulty is shared with the
// Invasion), then "Start new game", "Continue game" (offered only for a sound saved Duel
// in the current profile) and "How to Play...", the tutorial.
//
// Starting a war closes this screen (it goes with the game); the tutorial leaves it open
// and the saved Duel untouched. The controllers are made through the class registry by
// name; a Duel that is not built starts nothing and says so in the log. Registered with
// a factory, so that the game-mode screen of the menus can open it by name. Deleted by
// the screen stack when it closes. Main thread only.
#include "ui/ContextMenu.h"

class MenuButton;

class ContextDuelRules : public ContextMenu {
public:
    static constexpr const char16_t* kDuelClass = u"GameControllerDuel";
    static constexpr const char16_t* kTutorialClass = u"GameControllerDuelTutorial";

    ContextDuelRules();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // The menu's tick; then How to Play, Start and Continue, in that order.
    void tickContents(double time, double dt) override;

    MenuButton* pHowToPlay = nullptr;  // children of the screen
    MenuButton* pStartNew = nullptr;
    MenuButton* pContinue = nullptr;

private:
    void start(bool continueSaved);
};
