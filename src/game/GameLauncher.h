#pragma once
// How the rules screens start a game: the mode's controller is made through the class
// registry by its class name (so a mode that is not built yet leaves the screens
// building and working, and only its start says in the log that it is missing), made the
// application's current game, pushed on the screen stack and started, fresh or from a
// saved block of the current profile.
//
// Also what the two rules screens share: their view of the current profile's saved
// blocks and the offer to continue. Main thread only.
#include <array>
#include <cstdint>
#include <string_view>

class Context;
class GameController;
class MenuButton;
class SavedGame;

class GameLauncher {
public:
    // Makes the controller of class `className`, makes it current, pushes it and calls
    // its startGame with `block` (null: a new game). Null, and a line in the log, when
    // no such class can be made or there is no screen stack.
    static GameController* launch(std::u16string_view className, const SavedGame* block);
    // A rules screen's Start (continueSaved false: the saved game is invalidated first)
    // or Continue from `block`: the screen closes and the game starts. While the class
    // cannot be made, the log says so and the screen and the block stay as they are.
    static GameController* startFrom(Context& rulesScreen, std::u16string_view className, const SavedGame& block,
                                     bool continueSaved);
    // Whether a controller of class `className` can be made.
    static bool isAvailable(std::u16string_view className);

    // The current profile's Invasion or Duel block; null without an application.
    static std::array<std::uint8_t, 1840>* invasionBlock();
    static std::array<std::uint8_t, 1832>* duelBlock();
    // What the current profile holds for a rules screen to continue.
    enum class SavedState { kNone, kDamaged, kSound };
    // The rules screens' two start buttons for a profile's saved game: with a sound one,
    // a new game asks first; without one, or with a damaged one, Continue is disabled
    // and its hint says which.
    static void offerContinue(MenuButton& startNew, MenuButton& continueSaved, SavedState saved);

    // The frame behind the rules screens' two choices, virtual pixels.
    static constexpr float kPanelWidth = 640.0f;
    static constexpr float kPanelHeight = 200.0f;
};
