#pragma once
// The Duel: two sides, each on its own island with three palms, fight a war of days.
// Every day has three rounds, and in each round every side is given one vehicle:
//   round 1 "Sunrise": side 0 flies a plane with bombs, side 1 mans a cannon;
//   round 2 "Noon":    the roles swapped;
//   round 3 "Sunset":  both fly planes with guns (the dogfight).
// A round ends three seconds after a plane goes down or (rounds 1 and 2) after a side
// lost its last palm. Palm damage carries over from round to round; every day plants
// the palms anew. After the last day the ratings are made and the results screen comes.
// Side 1 is the computer unless a friend plays it on the same keyboard.
//
// States (the StateBase state; delays in seconds of the controller's clock):
//   1 start                       -> 2 after 0.001
//   2 "Fight!", camera glides in  -> 3 after 5
//   3 new day (showDayTitle)      -> 4 after 2
//   4 between rounds              -> 5 after 0.001
//   5 new round: autosave, then setupRound -> 6 after 1
//   6 playing                     -> 7 three seconds after a plane is down or (rounds
//                                    1, 2) a side's last palm is lost
//   7 round over                  -> 8 at once after round 3, else 4 after 1
//   8 day over                    -> 9 after 0.001
//   9 fade out                    -> 3 after 2, or 10 after the last day
//   10 end: the save is cleared, the ratings, then the results screen
// A continued war starts at 5 and plays again the round during which it was saved, with
// the day's palms as they were then.
//
// Saving: the whole Duel block of the current profile on entering 5 (before the round
// counts up); it is marked invalid on entering 10. The tutorial (bTutorial) does
// neither.
//
// Lifetime: made by the Duel rules screen through the class registry (by name), made
// the current game, pushed on the screen stack and started once; the stack deletes it
// once it is finished. Owns its world through the scene (GameController). Needs the
// game's pictures and sounds ("island", the cannon's and the planes') once started.
// Main thread only.
#include <cstdint>
#include <optional>
#include <string>

#include "game/GameController.h"
#include "game/SavedGame.h"

class Vehicle;

class GameControllerDuel : public GameController {
public:
    enum State : std::int32_t {
        kStart = 1,
        kFight = 2,
        kDayTitle = 3,
        kBetweenRounds = 4,
        kRoundSetup = 5,
        kPlaying = 6,
        kRoundOver = 7,
        kDayOver = 8,
        kFadeOut = 9,
        kEnd = 10
    };
    static constexpr std::int32_t kPalms = 3;       // palms per island, every day
    static constexpr std::int32_t kDays = 5;        // days of a war
    static constexpr std::int32_t kRounds = 3;      // rounds of a day
    static constexpr std::int32_t kScoreTable = 0;  // the Duel's high-score table
    static constexpr float kIslandX[kSides] = {-500.0f, 500.0f};
    static constexpr double kRoundEndDelay = 3.0;     // s from a plane down or palms lost to the round's end
    static constexpr double kBalloonLifetime = 90.0;  // s

    // The rules of the Duel on top of the base's: three palms, the opponent and the
    // computer's skill from the configuration, the Duel's table and colours.
    GameControllerDuel();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // The base's block, then day, round, days and nextBonusTime.
    void savegame(const SavedGame& block) override;
    // Nothing: the Duel saves only at the start of a round.
    void savePalms() override;
    // The base's block, then the Duel's extras, and the Duel's fixed rules again. False
    // (nothing changed) for a block the base refuses.
    bool loadgame(const SavedGame& block) override;
    // Builds the islands and palms and starts the states: a new war without `block`, else
    // the war saved in it, from the round it was saved at. A block that cannot be
    // continued starts a new war and says so in the log.
    void startGame(const SavedGame* block) override;
    // The whole Duel block (SavedGame::duelFault).
    std::u16string savedGameFault(const SavedGame& block) const override;
    // The base's end (ratings, music), then this controller closes and the results
    // screen comes.
    void endGame() override;
    // The timed bonus balloons (spawnTimedBonus).
    void tickGame() override;
    void collide() override;
    void computeRating() override;
    // A plane of `side` is down: the round ends 3 s later. Only while a round is under
    // way (states 5 and 6): a plane that comes down after its round has ended does not
    // end the next one.
    void onVehicleDestroyed(std::int32_t side) override;
    // The last palm of `side` burnt down: in rounds 1 and 2, while playing, the camera
    // follows the other side and the round ends 3 s later.
    void onPalmsDestroyed(std::int32_t side) override;
    void onStateChanged() override;

    // A new day: clears the world, plants the palms, shows "Day x of y".
    virtual void showDayTitle();
    // A new round: clears the vehicles and shots and gives each side its vehicle.
    virtual void setupRound();
    // In state 6: a bonus balloon somewhere in view (above the water) once its time is due.
    void spawnTimedBonus();

    // The current profile's Duel block; null without an application or profile.
    static std::optional<SavedGame> profileBlock();

    std::int32_t day = 0;        // 1..days while playing
    std::int32_t round = 0;      // 1..3 while playing
    std::int32_t days = kDays;   // of this war
    double nextBonusTime = 0.0;  // controller clock s of the next timed bonus balloon
    std::uint8_t bTutorial = 0;  // set by the tutorial: never saved nor cleared in the profile

protected:
    // The announcement line shows `text` for `seconds`.
    void announce(const std::u16string& text, double seconds);
    // Fades the screen toward `target` (0 clear, 1 black).
    static void fadeTo(float target);

private:
    void applyFixedRules();
    void buildIslands();
    void restorePalms(const SavedGame& block);
    void clearWorld(bool keepPalms);
    void giveVehicle(std::int32_t side);
    Vehicle* makePlane(std::int32_t side, bool human);
    Vehicle* makeCannon(std::int32_t side, bool human);
    void enterFight();
    void saveToProfile();
    void invalidateSave();
    void addKeyPoint(float x, float y, float z, double blendTime);
    // One pass of the collision pass: each A of list `first` against the objects of
    // `second` passing `filter`, first hit only.
    enum class Filter { kNone, kOtherSide, kStandingPalm, kOperationalPlane };
    void collideLists(int first, int second, Filter filter);
};
