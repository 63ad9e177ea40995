#pragma once
// The title screen's intro: a short scripted scene between the logo screen and the title
// menu. One island with one palm, seen first from high above; the game's logo fades in
// and out; the view glides down to the island while the story is told in five
// announcement lines; a bomb whistles in and sets the palm on fire; the screen fades to
// black and the intro closes itself, uncovering the title menu below it.
//
// Timeline, in seconds of the controller's clock (each cue fires once, in the frame in
// which the clock passes its time, and cues passed in the same frame fire in time order):
//   3..4 logo fades in, 6..7 it fades out; 6 the glide down begins (10 s long);
//   10, 13, 16 story lines; 19 the bomb; 23, 25 story lines; 30 fade to black; 32 end.
//
// It is a game controller without a game: no startGame or endGame, no score, no saving,
// no pause (Escape, either player's fire key or a touch closes it through the screen
// stack), no mutators (whatever the configuration holds, and whatever the base takes
// from it). Its world is built the first time it becomes the top screen, never again.
//
// Lifetime: created by the application's start-up stage above the title menu and owned
// by the screen stack, which deletes it once it is finished. While on top it is the
// application's current game. Needs the resources "island", "island:all", "logo:all",
// "palm", "cannon", "projectiles" and "bombWhistle" (missing ones are fatal), and the
// palm's and the bomb's own. Main thread only.
#include <cstdint>

#include "game/GameController.h"

class Renderable;

class GameControllerIntro : public GameController {
public:
    static constexpr double kLogoFadeInStart = 3.0;  // s
    static constexpr double kLogoFadeOutStart = 6.0;
    static constexpr double kLogoGone = 7.0;
    static constexpr double kGlideStart = 6.0;
    static constexpr double kGlideTime = 10.0;
    static constexpr double kBombTime = 19.0;
    static constexpr double kFadeOutStart = 30.0;
    static constexpr double kEnd = 32.0;
    static constexpr float kBombSpeed = 256.0f;  // units per second sideways
    // Where the scene camera starts, high above the island, and where it glides to.
    static constexpr float kHighX = 0.0f, kHighY = 405.0f, kHighZ = -960.0f;
    static constexpr float kLowX = 0.0f, kLowY = 135.0f, kLowZ = -320.0f;
    static constexpr float kIslandTop = 21.0f;  // y of the island picture's top edge
    static constexpr float kHiddenX = -16000.0f;
    // Where the pointer is left for the title menu when the intro closes (virtual units).
    static constexpr float kPointerAfterX = 592.0f, kPointerAfterY = 32.0f;

    // The base controller, then: closed by Escape, a fire key or a touch, without asking;
    // one side; bombs never fizzle; the mutators cleared; the hidden logo in the overlay.
    GameControllerIntro();

    // Becomes the current game; the first time also builds the world (island, palm,
    // hidden cannons), puts the camera high above and the screen in black, from which
    // the screen stack fades it in.
    void onActivate(bool first) override;
    // The base (current game cleared and menu music when closing); when closing, the
    // pointer is also left at the title menu's first item.
    void onDeactivate(bool closing) override;
    // The logo's fade and the cues of the timeline.
    void tickGame() override;
    // Bombs against standing palms: each bomb hits at most one palm a frame.
    void collide() override;

    Renderable* pLogo = nullptr;  // the game's logo, in the overlay; alpha 0 until it fades in

private:
    enum class Cue : std::uint8_t { kGlide, kStoryLine, kBomb, kFadeOut, kEnd };
    struct TimelineCue {
        double time;     // s of the controller's clock
        Cue cue;         // what happens
        int text;        // string id of a story line
        double showFor;  // s a story line is shown, fades included
    };
    static const TimelineCue kTimeline[];

    void buildWorld();
    void addIsland();
    void addHiddenCannon(std::int32_t side);
    void updateLogo();
    void run(const TimelineCue& cue);
    void startGlide();
    void dropBomb();
    void setScreenFade(bool black, bool immediately);
    // Whether the clock passed `time` in the last step.
    bool reaches(double time) const { return localTime >= time && localTime - dt < time; }

    std::uint8_t bWorldBuilt = 0;
};
