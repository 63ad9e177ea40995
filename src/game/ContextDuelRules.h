#pragma once
// The Duel rules screen: the opponent (a friend or the computer) and the difficulty,
// "Start new game" and "Continue game" (ContextGameRules; Continue only for a saved Duel
// the Duel controller can take up) and "How to Play...", the tutorial.
//
// Starting a war closes this screen (it goes with the game); the tutorial leaves it open
// and the saved Duel untouched. The controllers are made through the class registry by
// name. Registered with a factory, so that the game-mode screen of the menus can open it
// by name. Deleted by the screen stack when it closes. Main thread only.
#include "game/ContextGameRules.h"

class ContextDuelRules : public ContextGameRules {
public:
    static constexpr const char16_t* kDuelClass = u"GameControllerDuel";
    static constexpr const char16_t* kTutorialClass = u"GameControllerDuelTutorial";

    ContextDuelRules();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // The menu's tick; then How to Play, Start and Continue, in that order.
    void tickContents(double time, double dt) override;

    MenuButton* pHowToPlay = nullptr;  // a child of the screen

protected:
    std::optional<SavedGame> savedBlock() const override;
    std::u16string savedGameFault(const SavedGame& block) const override;
};
