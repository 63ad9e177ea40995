#pragma once
// The base of every playing screen (the Invasion, the Duel and its tutorial, the intro):
// a context on the screen stack that holds the world of a game.
//
// What it builds: the scene (a ContextBlender whose camera is the game camera) with the
// sky, the fourteen entity lists, the snowfall and one PlayerData per side; above it
// the overlay with the players' HUDs and the announcement line. Around that: the rule
// settings and mutator flags of the game, the pause key, the Matrix-fight slow motion,
// the game music, the start and end of a game, and the common part of the saved game.
// A mode adds its rules through the virtual operations below.
//
// Clocks: the controller's own clock (and so the mode's state delays) runs at the frame
// time; the scene's clock runs at the frame time x its time scale, which follows `speed`
// and, under Matrix fight, slows after every shot.
//
// Lifetime: created by a rules screen (the intro by the start-up), stored as the
// application's current game while it runs (GameGlobal::pCurrentGame) and pushed on the
// screen stack, which deletes it once it is finished. It owns the scene and the overlay;
// the scene owns the lists and everything in them. Main thread only.
#include <cstdint>
#include <string>

#include "render/Context.h"

class AnnouncementText;
class ContextBlender;
class GameEntity;
class HudOverlay;
class PlayerData;
class SavedGame;
class SkyWidget;

class GameController : public Context {
public:
    // The entity lists, children of the scene in this order, which is the drawing order.
    enum Layer {
        kIslandList = 0,       // the islands
        kPalmList = 1,         // the palms
        kSmokeList = 2,        // smoke puffs and small explosions, inserted at the front
        kCannonShellList = 3,  // cannon balls of a WeaponCannon built on its own
        kPlayerShotList = 4,   // projectiles of weapons made by Weapon::createFromType
        kVehicleList = 5,      // the cannons
        kBeamList = 6,         // laser beams, lightning bolts, fire of palms and planes
        kBombList = 7,         // the planes' bombs and the intro's bomb
        kBulletList = 8,       // bullets of a WeaponGun and of the plane gun
        kEnemyBombList = 9,    // bombs dropped by enemies
        kBonusBalloonList = 10,
        kPlaneList = 11,   // the players' planes
        kEnemyList = 12,   // enemies released by the spawners
        kEffectList = 13,  // explosions, splashes, flare bursts, bonus pickups
        kLayerCount = 14
    };
    static constexpr int kSides = 2;
    static constexpr double kCameraZ = -320.0;        // the controller's own camera
    static constexpr double kSlowMotionScale = 0.25;  // of `speed`, right after a shot
    static constexpr double kSlowMotionRamp = 1.75;   // s over which full speed returns
    static constexpr int kNoScoreTable = 5;
    static constexpr std::uint32_t kPlayerColours[kSides] = {0xFFFF0000u, 0xFF0000FFu};  // ARGB: red, blue

    // Builds the scene, its lists and player data, and the overlay (see above); the
    // difficulty and bonus frequency come from the configuration record.
    GameController();
    ~GameController() override;

    // The game covered (false: nothing happens) or closed (true: it stops being the
    // current game and the menu music comes back).
    void onDeactivate(bool closing) override;
    // Each frame: the overlay's pointer, the world, the removal of entities lost to
    // numbers that are not finite, the slow motion, the pause key, then collide and
    // tickGame.
    void tickContents(double time, double dt) override;
    // The players' displays' scores, labels and touch button.
    void addBoxesToKeepClear(std::vector<ViewRect>& boxes) const override;

    // Writes the common part of a saved game (bValidData, both player records, the
    // controller's fields). Modes call it first, then write their extras.
    virtual void savegame(const SavedGame& block);
    // Rewrites the palm records of the profile's block in place; empty here.
    virtual void savePalms();
    // Restores the common part. A block with a fault (savedGameFault) is refused:
    // false and nothing changed. Modes call it first and read their extras only when it
    // returned true.
    virtual bool loadgame(const SavedGame& block);
    // Starts the game: log, mutators, speed, which sides people play, the game music.
    // `block` is the game to continue or null for a new one. A block that is not
    // loadable is logged, cleared in the profile (its valid flag only) and a new game
    // starts instead; bContinued tells the mode which it is. A new game takes the
    // mutators of the configuration record (any of them halves the rating); a continued
    // one keeps those of its block. Modes call it first, then (when bContinued) their
    // loadgame with the block, then build their world.
    virtual void startGame(const SavedGame* block);
    // Why `block` cannot be continued, in a few words for the log; empty when it can.
    // Here the common part and both player records (SavedGame::fault); modes check
    // their whole block (SavedGame::invasionFault, SavedGame::duelFault).
    virtual std::u16string savedGameFault(const SavedGame& block) const;
    // The ratings (computeRating, then x 0.9), the music and every sound stopped. Modes
    // call it first, then close the controller and open the results screen.
    virtual void endGame();
    // The mode's per-frame rules; empty here.
    virtual void tickGame();
    // The mode's collision pass over pairs of entity lists; empty here.
    virtual void collide();
    // Sets winnerSide and the winner's rating; empty here.
    virtual void computeRating();
    // A plane of `side` went down (only planes call it).
    virtual void onVehicleDestroyed(std::int32_t side);
    // The last palm of `side` was lost (the palm calls it).
    virtual void onPalmsDestroyed(std::int32_t side);

    // The side that human player i controls: 1 - i when two people play, else i.
    std::int32_t sideFor(std::int32_t i) const;
    // The controller-clock time at which the next timed bonus balloon is due; draws once
    // from the shared generator unless bonuses are off (then it lies 1,000,000 s ahead).
    double nextBonusTime();
    // One bonus balloon of a random kind (helpful ones only without sabotage) at (x, y, z)
    // worth `value`, into the bonus-balloon list; its scoreValue counts as released.
    void spawnBonusBalloon(float x, float y, float z, double value);
    // Gives `side` a new weapon of `type` with full energy, shows its name on the side's
    // HUD and plays the switch sound. Called by weapon crates and the Invasion.
    void switchWeapon(std::int32_t side, std::int32_t type);
    // Whether a touch lies on the pause button of side 0's on-screen controls.
    bool isPauseButtonTouched() const;

    // The data of `side`; null outside 0..1.
    PlayerData* getPlayerData(std::int32_t side) const;
    // Entity list `index` (a Layer); null outside 0..13.
    QorBase* layer(int index) const;
    // The scene's time scale this frame: `speed`, slowed after a shot under Matrix fight.
    double sceneTimeScale() const;

    Context* pOverlay = nullptr;                   // owned: HUDs and announcement, drawn above the world
    ContextBlender* pScene = nullptr;              // owned: the world; its camera is the game camera
    HudOverlay* pHud[kSides] = {};                 // the players' displays, in the overlay
    PlayerData* playerData[kSides] = {};           // one per side, in the scene
    SkyWidget* pSky = nullptr;                     // first child of the scene
    QorBase* layers[kLayerCount] = {};             // the entity lists, in the scene
    AnnouncementText* pAnnouncement = nullptr;     // the centred announcement line, in the overlay
    std::int32_t difficulty;                       // 0 "Very Easy" .. 4 "Very Hard"
    std::int32_t playerSides = 2;                  // sides in play
    std::int32_t computerPlayers = 0;              // computer sides (side 1 when 1)
    std::uint8_t bBonusesAllowed = 1;              // timed bonus balloons at all
    std::uint8_t bSabotageAllowed = 1;             // the sabotage balloons may appear
    std::uint8_t bReservedFlag = 0;                // only carried through the saved game
    std::uint8_t bLimitBombRange = 1;              // bombs vanish after a few seconds
    std::int32_t bonusFrequency;                   // 0 rare, 1 standard, 2 frequent
    std::int32_t palmsPerIsland = 1;               // palms each side plants
    float aiSkill = 0.0f;                          // computer opponent's skill, 0..1
    std::int32_t winnerSide = 0;                   // set by computeRating
    std::uint8_t bRatingHalved = 0;                // halves the final rating
    std::uint8_t bScoreFlag = 0;                   // handed to the high-score entry
    double slowMotionEnd = 0.0;                    // TimeKeeper::now s at which Matrix slow motion ends
    std::int32_t scoreTable = kNoScoreTable;       // high-score table; 5 = none
    std::int32_t targetsReleased = 1;              // score value released so far; the ratings divide by it
    std::uint8_t bMatrixFight = 0;                 // the seven mutators, in the saved order
    std::uint8_t bBerserk = 0;                     //   game twice as fast
    std::uint8_t bNoBlaster = 0;                   //   infinite blaster energy
    std::uint8_t bBloatedProjectiles = 0;          //   projectiles twice as large
    std::uint8_t bBouncyBombs = 0;                 //   bombs bounce on water
    std::uint8_t bAutocannons = 0;                 //   cannons fire streams of bullets
    std::uint8_t bPX35 = 0;                        //   the experimental planes
    double speed = 1.0;                            // game speed; 2.0 under Berserk
    float vehicleFactors[3] = {1.0f, 1.0f, 1.0f};  // copied into every vehicle; AI timing factors
    std::uint8_t bAiFlag = 0;                      // read by the computer planes; not saved
    std::uint8_t bContinued = 0;                   // startGame took a saved block; not saved

protected:
    // The shared last step of a mode's endGame: this controller closes and the results
    // screen comes with its score table (nothing more without a screen stack).
    void closeForResults();
    // Has the profiles, with the saved game just written into them, written to the disk
    // on a worker thread: an autosave must outlast a crash without stalling a frame.
    static void saveProfilesToDisk();
    // Side 0 red and side 1 blue (kPlayerColours), as the games and their results show them.
    void setPlayerColours();

private:
    void buildScene();
    bool acceptSavedGame(const SavedGame& block);
    void takeMutators();
    // Flags for deletion (and logs) every entity whose position or velocity is not finite.
    void removeLostEntities();
    // A new balloon of `kind` (0..5); the caller owns it.
    GameEntity* createBonusBalloon(std::int32_t kind, float x, float y, float z, double value);
    void checkPauseKeys();
    void openPauseScreen();
    void playMusic(const char16_t* name);
};
