#pragma once
// One palm tree on a side's island: what each side defends. A palm places itself on its
// side's island when it is made, sways when hit (a damped spring bends its trunk),
// darkens as it loses health, and when its health runs out it burns down over one
// second of game time, giving off smoke and flames, and then counts as lost: the side's
// live-palm count drops, the game saves its palms, and the loss of a side's last palm is
// reported to the game (GameController::onPalmsDestroyed) exactly once.
//
// States (the StateBase state): 1 standing, 2 burning, 3 burnt. Only a standing palm
// catches fire. A burnt palm stays in the scene, short, grey and still swaying, until
// its owner deletes it.
//
// Units: world units (virtual pixels at depth 0), seconds, radians. The position is the
// foot of the trunk. Heights (fullHeight, currentHeight, burntHeight) are in texture
// coordinates of the "palm" picture, as the trunk's texture rectangle holds them.
//
// Lifetime: created by PlayerData::createPalms (or the game) and owned by the current
// game's palm list; it owns its trunk mesh (its skin) and its spring. Needs the
// resources "palm", "treeBurn" and "nyuck" (missing ones are fatal) and, for the game
// rules, a current game (GameGlobal::pCurrentGame); without one it neither places itself
// on an island nor reports anything. Main thread only.
#include <array>
#include <cstdint>

#include "game/GameEntity.h"
#include "game/Spring.h"
#include "render/UColor.h"

class PalmSaveRecord;
class PalmTrunkMesh;
class Texture;

class Palm : public GameEntity {
public:
    enum State : std::int32_t { kStanding = 1, kBurning = 2, kBurnt = 3 };
    static constexpr float kBoundsRadius = 80.0f;          // world units, whatever the trunk's shape
    static constexpr float kBurntHeight = 0.005f;          // texture coordinates
    static constexpr float kMaxSwaySpeed = 192.0f;         // of the spring, units per second
    static constexpr float kBendPerUnit = 0.0625f;         // radians of bend per unit of sway
    static constexpr double kSmokeInterval = 0.015;        // s between smoke puffs
    static constexpr double kLowDetailSmoke = 0.045;       // s between puffs at detail 0
    static constexpr float kFlamesUntil = 0.75f;           // burn progress at which the flames stop
    static constexpr UColor kHealthyColour = 0xFFFFFFFFu;  // at full health
    static constexpr UColor kBurntColour = 0xFF808080u;    // at no health, and burnt down

    // A standing palm of `side`, placed at random on that side's island (two draws of
    // the shared generator), with a trunk of detail x 8 + 8 rows.
    explicit Palm(std::int32_t side);

    void tick(double time, double dt) override { update(time, dt); }
    // The state machine, the spring, the burning, then the trunk's bend. Palms never move.
    virtual void update(double time, double dt);
    // A circle of kBoundsRadius about the middle of the trunk as bent.
    void calcBounds() override;
    // The palm's end: it catches fire (burn).
    void destroy(GameEntity* source) override { burn(source); }
    using GameEntity::destroy;
    // Sets a standing palm on fire (sound, saved palms, camera shake; "nyuck" when the
    // source's side has lost its vehicle). A palm already burning or burnt ignores it.
    virtual void burn(GameEntity* source);
    // Kicks the spring with the source's horizontal speed (at most kMaxSwaySpeed either
    // way) and darkens the palm by its health.
    void onHit(GameEntity* source, float taken) override;

    // Writes the palm into `record` (marked valid).
    void savePalm(const PalmSaveRecord& record) const;
    // Restores a palm just made by the constructor from `record`. A record that is not
    // sound (invalid, not a state 1 to 3, or heights that no trunk can have) is refused:
    // false, and the palm is left as it was.
    bool loadPalm(const PalmSaveRecord& record);
    // Whether `record` could be loaded.
    static bool isLoadable(const PalmSaveRecord& record);

    // The trunk: the palm's own skin.
    PalmTrunkMesh* mesh() const;
    // Whether the palm still stands (what the game counts as a live palm).
    bool isStanding() const { return state == kStanding; }

    float bendOffset = 0.0f;           // constant term of the trunk's bend, radians; saved
    Texture* palmTexture = nullptr;    // the "palm" picture; owned by the registry
    float burnProgress = 0.0f;         // 0..1: how far the palm has burnt
    double smokeTimer = 0.0;           // s since the last smoke puff
    double smokeInterval;              // s between smoke puffs
    float fullHeight = 0.0f;           // the trunk rectangle's height
    float currentHeight = 0.0f;        // the visible part of it; shrinks while burning
    float burntHeight = kBurntHeight;  // the visible height of a burnt-down trunk
    Spring spring;                     // the sway; not in the object tree, ticked here
    std::array<float, 4> trunkRect{};  // the full trunk rectangle: left, top, right, bottom

private:
    void buildTrunk(int detail);
    void placeOnIsland();
    void burnStep(double dt);
    void emitSmoke(float t);
    void loseToFire();
    void updateBend();
    void setTrunkTop(float top);
    void restoreTrunk();
    void colourByHealth();
};
