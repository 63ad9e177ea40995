#pragma once
// The Invasion rules screen: who plays (alone or with a friend) and the difficulty, then
// "Start new game" or "Continue game" (ContextGameRules), which start a
// GameControllerCampaign through the class registry.
//
// Registered with a factory, so that the game-mode screen of the menus can open it by
// name. Built anew each time it opens; deleted by the screen stack when it closes. Main
// thread only.
#include "game/ContextGameRules.h"

class ContextInvasionRules : public ContextGameRules {
public:
    static constexpr const char16_t* kControllerClass = u"GameControllerCampaign";

    ContextInvasionRules();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // The menu's tick; then a triggered Start or Continue starts the game.
    void tickContents(double time, double dt) override;

protected:
    std::optional<SavedGame> savedBlock() const override;
    // Only a block the Invasion controller takes up whole is offered.
    std::u16string savedGameFault(const SavedGame& block) const override;
};
