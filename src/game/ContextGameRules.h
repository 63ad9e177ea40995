#pragma once
// What the two rules screens (Invasion and Duel) share: the frame behind their two
// choices, the who-plays choice and the difficulty (both written straight into the
// configuration record), "Start new game" and "Continue game", and their start.
// Continue is offered only when the current profile's block of the screen's mode holds
// a game the mode can continue; with one, "Start new game" asks first, since it throws
// that game away. A block marked valid that the mode cannot continue is left as it is;
// the log says why, and Continue's hint that the saved game is damaged.
//
// Use: a subclass's constructor runs this one (which adds the items above, in that
// order), adds its own items and then calls finishRules, which adds the title and Back.
// Its tick calls takeStartTriggers after the menu's tick.
//
// Starting closes the screen (it stays beneath the game, finished, and goes with it)
// and starts the mode's controller through GameLauncher. Main thread only.
#include <cstdint>
#include <optional>
#include <string>

#include "game/GameLauncher.h"
#include "ui/ContextMenu.h"

class MenuButton;
class SavedGame;

class ContextGameRules : public ContextMenu {
public:
    MenuButton* pStartNew = nullptr;  // children of the screen
    MenuButton* pContinue = nullptr;

protected:
    // The first choice edits `choice` (null without an application) between `lowest`
    // and `highest`, showing the texts from `firstTextId` on, titled `labelId` with the
    // hint `hintId`. `controllerClass` is the mode's controller class name.
    ContextGameRules(const char16_t* controllerClass, std::int32_t* choice, std::int32_t lowest, std::int32_t highest,
                     int firstTextId, int labelId, int hintId);

    // The current profile's saved block of this mode; none without an application.
    virtual std::optional<SavedGame> savedBlock() const = 0;
    // Why this mode cannot continue `block`, in a few words; empty when it can.
    virtual std::u16string savedGameFault(const SavedGame& block) const = 0;

    // Offers Continue or not, then adds the title (`titleId`) and Back.
    void finishRules(int titleId);
    // A triggered Start or Continue starts the game; true when one was triggered.
    bool takeStartTriggers();

private:
    // What the profile holds for this mode; a damaged block is logged with its fault.
    GameLauncher::SavedState savedState() const;
    void start(bool continueSaved);

    const char16_t* controllerClass;
};
