#pragma once
// The Invasion rules screen: who plays (alone or with a friend) and the difficulty, both
// written straight into the configuration record, then "Start new game" or "Continue
// game". Continue is offered only when the current profile's Invasion block holds a
// sound game; with one, "Start new game" asks first, since it throws that game away.
//
// Starting closes this screen (it stays beneath the game, finished, and goes with it)
// and starts a GameControllerCampaign through the class registry. Registered with a
// factory, so that the game-mode screen of the menus can open it by name. Built anew
// each time it opens; deleted by the screen stack when it closes. Main thread only.
#include "ui/ContextMenu.h"

class MenuButton;

class ContextInvasionRules : public ContextMenu {
public:
    static constexpr const char16_t* kControllerClass = u"GameControllerCampaign";

    ContextInvasionRules();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // The menu's tick; then a triggered Start or Continue starts the game.
    void tickContents(double time, double dt) override;

    MenuButton* pStartNew = nullptr;  // children of the screen
    MenuButton* pContinue = nullptr;

private:
    void start(bool continueSaved);
};
