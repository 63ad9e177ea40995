#pragma once
// The screen that follows every finished Invasion or Duel game. It is a game controller
// of its own, so it shows a small scene: the islands of the finished game's sides with
// palms and cannons, a gliding camera and fireworks over the winner's island. Over seven
// states it announces the end of the fight and the winner, fills a bar up to the
// winner's rating to a drum roll, enters the rating into the game type's high-score
// table under the current profile's name, shows the place reached or a tip, waits for a
// fire key or a touch and closes; the high-score table of the game type opens then.
//
// States (the StateBase state; "after t" is a delayed change of this screen's clock):
//   1 scene, camera, "Cease Fire!", music            -> 2 after 5 s
//   2 "And the winner is...", camera to the winner    -> 3 after 5 s
//   3 the rating bar fills to the drum roll           -> 4 when the bar passes the rating
//   4 cymbal, the rating, the high-score entry        -> 5 (a place) or 6 after 5 s
//   5 the place reached                               -> 6 on a fire key or touch
//   6 the rating tip                                  -> 7 2 s after a fire key or touch
//   7 finished; the screen stack closes it
// Escape closes the screen in any state. A screen closed before state 4 still enters the
// earned rating, so a rating is never lost, and the drum roll never outlives the screen.
//
// What it reads of the finished game (the current game when this screen was first
// activated): its sides, palms per island, winner side, score table, no-digest flag
// (bScoreFlag) and the players' ratings and human flags. Values that may come from a
// saved block are brought into range before they index anything.
//
// Lifetime: made by the finished mode's endGame (through the class registry, by the
// name "GameControllerResults"), which copies its score table into it and pushes it;
// the finished game stays beneath it on the stack (held here by a link) until both
// close. Owns the drum roll's channel while it plays. Main thread only.
#include <cstdint>
#include <string>

#include "engine/Link.h"
#include "game/GameController.h"
#include "render/UColor.h"

class Quad;
class Renderable;
class SoundChannel;

class GameControllerResults : public GameController {
public:
    static constexpr double kStateDelay = 5.0;          // s of each announcement state
    static constexpr double kAnnouncement = 3.0;        // s an announcement shows
    static constexpr double kCameraGlide = 5.0;         // s of each camera glide
    static constexpr double kFirstFirework = 9.0;       // s after the start
    static constexpr double kBarPause = 1.0;            // s before the bar moves
    static constexpr double kBarSpeed = 0.25;           // of the bar's length per second
    static constexpr double kPlaceContinueDelay = 5.0;  // s before "Click to continue" in state 5
    static constexpr double kTipContinueDelay = 10.0;   // s before it in state 6
    static constexpr double kIrisClose = 2.0;           // s from the last click to the end
    static constexpr float kBarHolderX = -96.0f;        // left end of the bar
    static constexpr float kIslandTop = 21.0f;          // units from the deck (y 0) up to the island picture's top
    static constexpr float kFireworkRise = 32.0f;       // launch height over the island
    static constexpr int kScoreScale = 100000;          // table score of a rating of 1.0
    static constexpr UColor kContinueColour = 0xFFF0F0F0u;

    GameControllerResults();
    ~GameControllerResults() override;
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // First activation: the current game is the finished one; this screen becomes the
    // current game and enters state 1 at once.
    void onActivate(bool first) override;
    // Closing: the base's (menu music), the drum roll stopped, the score entered when
    // that has not happened yet, the finished game current again and the table's
    // high-score screen pushed.
    void onDeactivate(bool closing) override;
    // Fireworks, the rating bar and the waits for a click.
    void tickGame() override;
    void onStateChanged() override;

    // The finished game, or this screen when there is none (made without a game).
    const GameController& finished() const;
    // The finished game's values, in range: sides 1..2, the winner among them, palms
    // 0..MAXPALM, and the table (0..4, or kNoScoreTable for none or a stray value).
    std::int32_t sides() const;
    std::int32_t winner() const;
    std::int32_t palms() const;
    std::int32_t table() const;
    // The winner's rating in 0..1 (a value that is not a number counts as 0).
    float winnerRating() const;

    // The table score of a rating: rating x 100000, truncated; 0..100000.
    static std::int32_t scoreForRating(float rating);
    // The name entered for the winner: the profile's name, or for side 1 its first 14
    // characters and "-2".
    static std::u16string entryName(const std::u16string& profileName, std::int32_t winnerSide);
    // The colour of a rocket from one draw: one to three of the channels full, the
    // others half; never grey or white.
    static UColor fireworkColour(std::uint32_t draw);
    // How far the bar has come `timeInState` s into state 3 (before the clamp to 1).
    static double barFraction(double timeInState);

    Link pFinishedGame;                 // the game that ended; lives while this screen does
    std::int32_t highScorePlace = -1;   // 0..9 from the entry, -1 for none
    double nextFireworkTime = 0.0;      // s of this screen's clock
    std::int32_t fireworksLeft = 0;     // rockets still to come in this salvo
    QorBase* pTextLayer = nullptr;      // in the overlay: every text and the bar
    Renderable* pBarHolder = nullptr;   // carries pBar at the bar's left end; in pTextLayer
    Quad* pBar = nullptr;               // the bar's fill, owned by pBarHolder
    SoundChannel* pDrumroll = nullptr;  // owned while the drum roll plays
    std::uint8_t bScoreEntered = 0;     // the entry was made (or had nothing to enter)

private:
    void enterState(std::int32_t s);
    void startShow();
    void announceWinner();
    void startDrumroll();
    void showRating();
    void showPlace();
    void showTip();
    void buildScene();
    void enterHighScore();
    void stopDrumroll();
    void launchFirework();
    void showBar(float fraction);
    void addKeyPoint(float x, float y, float z);
    void addContinueText(double delay);
    bool continuePressed() const;
    float winnerIslandX() const;
};
