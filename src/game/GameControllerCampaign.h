#pragma once
// The Invasion: one player, or two on one machine, defend one island planted with palms
// against a campaign of enemy waves (InvasionWaveTable). Besides the waves it drops
// bonus balloons and weapon crates at random times, shows a tip the first time each
// thing happens, replaces a weapon whose energy ran out with the basic cannon, saves the
// game into the current profile as it goes, and when the last palm is lost, or the last
// wave is cleared, fades out and hands over to the results screen.
//
// States (the StateBase state; delays in seconds of the controller's clock):
//   1 intro tips           -> 2 after 0.001
//   2 "Get Ready!"         -> 3 after 5
//   3 next wave (autosave) -> 4 after 3
//   4 playing              -> 3 two seconds after a wave is cleared, 5 instead after the
//                             last wave, 7 one second after the last palm is lost
//   5 "Congratulations!"   -> 6 after 5
//   6 "You Have Won!"      -> 8 after 5
//   7 "Game Over!"         -> 8 after 5
//   8 fade out             -> 9 after 3
//   9 end: the ratings, then the results screen
// A continued game starts at 3 and plays again the wave during which it was saved.
//
// Saving: the whole Invasion block of the current profile on entering state 3 (before
// the wave number goes up); both sides' palm records whenever a palm starts burning or
// is lost (savePalms); the block is marked invalid on entering 5 or 7, so a finished
// game cannot be continued. Each of these but a palm's loss also has the profiles
// written to the disk (in the background), so that a crash loses nothing saved.
//
// Lifetime: made by the Invasion rules screen through the class registry (by name),
// made the current game, pushed on the screen stack and started once; the stack deletes
// it once it is finished. Owns its world through the scene (GameController). Needs the
// game's pictures and sounds ("island", the cannon's, the enemies') once started.
// Main thread only.
#include <array>
#include <cstdint>
#include <string>

#include "game/GameController.h"

class GameEntity;
class InGameOverlay;
class SavedGame;

class GameControllerCampaign : public GameController {
public:
    enum State : std::int32_t {
        kIntroTips = 1,
        kGetReady = 2,
        kNextWave = 3,
        kPlaying = 4,
        kWon = 5,
        kWonSecond = 6,
        kGameOver = 7,
        kFadeOut = 8,
        kEnd = 9
    };
    static constexpr std::int32_t kWaveCount = 50;
    static constexpr std::int32_t kScoreTable = 1;    // the Invasion's high-score table
    static constexpr double kBalloonLifetime = 90.0;  // s
    static constexpr double kAnnouncementTime = 3.0;  // s
    static constexpr double kWaveEndDelay = 2.0;      // s from the last enemy to the next wave
    static constexpr double kGameOverDelay = 1.0;     // s from the last palm to "Game Over!"
    static constexpr std::size_t kBlockSize = 1840;   // bytes of the Invasion block
    static constexpr std::size_t kWaveOffset = 1808;  // of the Invasion's extras in the block
    static constexpr std::size_t kWaveCountOffset = 1812;
    static constexpr std::size_t kTipFlagsOffset = 1832;  // energy, crate, bonus, tree

    // The rules of the Invasion on top of the base's (see the .cpp).
    GameControllerCampaign();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // The base's block, then wave, waveCount and the four tip flags.
    void savegame(const SavedGame& block) override;
    // Both sides' palm records into the current profile's Invasion block; to the disk
    // too when a palm has started burning since the last time.
    void savePalms() override;
    // The base's block, then the Invasion's extras and its fixed rules again. False
    // (nothing changed) for a block the base refuses.
    bool loadgame(const SavedGame& block) override;
    // Builds the island, palms and cannons and starts the states: a new game without
    // `block`, else the game saved in it, without the slow motion of the run that saved
    // it. A block that cannot be continued (savedGameFault) starts a new game and says
    // so in the log.
    void startGame(const SavedGame* block) override;
    // The whole Invasion block (SavedGame::invasionFault).
    std::u16string savedGameFault(const SavedGame& block) const override;
    // The base's end (ratings, music), then this controller closes and the results
    // screen comes.
    void endGame() override;
    void tickGame() override;
    void collide() override;
    void computeRating() override;
    void onStateChanged() override;

    // The new wave's spawners and camera, after `wave` was raised; resets the bonuses of
    // every side's vehicle.
    void spawnWave();
    // Glides the scene camera over 3 s to look left (-1), ahead (0) or right (+1) of the
    // island, twice as far out when `wide`.
    void placeCamera(std::int32_t direction, std::uint8_t wide);
    // When the next weapon crate drops: now + 30..60 s, halved with two sides.
    double nextCrateTime();

    // The current profile's Invasion block; null without an application.
    static std::array<std::uint8_t, kBlockSize>* profileBlock();

    QorBase* pSpawnerRoot;                // the current wave's spawners; first child of the scene
    std::int32_t wave = 0;                // the wave under way, from 1; 0 before the first
    std::int32_t waveCount = kWaveCount;  // waves in the campaign
    double bonusDueTime;                  // controller clock s of the next bonus balloon
    double crateDueTime;                  // controller clock s of the next weapon crate
    std::uint8_t bEnergyTipShown = 0;
    std::uint8_t bCrateTipShown = 0;
    std::uint8_t bBonusTipShown = 0;
    std::uint8_t bTreeTipShown = 0;

private:
    // Palms of every side burning or burnt.
    std::int32_t palmsDown() const;

    void applyFixedRules();
    void takeRulesFromConfiguration();
    void buildIsland();
    void plantPalms(const SavedGame* block);
    void placeCannons();
    void resetView();
    void enterNextWave();
    void enterGetReady();
    void showIntroTips();
    void finishCampaign(int textId);
    void announce(const std::u16string& text);
    void invalidateSave();
    void fadeTo(float target);

    void releaseBonusBalloon();
    void dropWeaponCrate();
    void checkTreeTip();
    void checkWaveEnd();
    void replaceSpentWeapons();
    bool anyHostileEnemy() const;
    // One list pair of the collision pass: the first hit of each A in `first` among the
    // objects of `second`; `palmTargets` keeps only standing palms as B and, for
    // enemies as A, only those that hurt palms.
    void collideLists(int first, int second, bool palmTargets);

    bool helpOn() const;
    void pushTip(InGameOverlay* tip);
    InGameOverlay* controlsTip() const;
    static InGameOverlay* textTip(const int (&ids)[4], int lastFont, float lastY);

    std::int32_t palmsDownOnDisk = 0;  // palmsDown() at the last save of palms to the disk
};
