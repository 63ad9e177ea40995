#pragma once
// The game-mode screen that the title menu's Start Game opens: Invasion, Duel, the
// Mutators dialog and Back. It stays open beneath the screen it opens.
//
// The two rules screens belong to the game (they make its controllers): they are made
// here through the class registry by their class names. Deleted by the screen stack
// when it closes. Main thread only.
#include "ui/ContextMenu.h"

class ContextDialog;
class MenuButton;

class ContextGameMode : public ContextMenu {
public:
    static constexpr const char16_t* kInvasionRulesClass = u"ContextInvasionRules";
    static constexpr const char16_t* kDuelRulesClass = u"ContextDuelRules";

    ContextGameMode();

    // The menu's tick; then each triggered item opens its screen (several in one frame
    // when several were triggered).
    void tickContents(double time, double dt) override;

    // Pushes a new screen of class `className` made through the class registry; false
    // (and a line in the log) when there is no such screen.
    static bool openByName(const char16_t* className);

    MenuButton* pInvasion = nullptr;  // children of the screen
    MenuButton* pDuel = nullptr;
    MenuButton* pMutators = nullptr;
};

// The Mutators dialog: seven check boxes, each bound to one of the configuration
// record's mutator switches, and Back. The caller pushes it.
ContextDialog* openMutators();
