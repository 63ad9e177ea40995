#pragma once
// A bonus balloon: it floats over the sea, bobbing and breathing around the point where
// it was made, until a side shoots it or its time runs out. Popping it gives the
// shooter's side a bonus or, for the sabotage kinds, a handicap to the other side
// (applyBonus, which the kinds override), shown as a label on the HUD of the side
// concerned and as an icon on its vehicle.
//
// It belongs to nobody (side -1); any hit pops it, and the shooter's side scores its
// scoreValue through the usual damage scoring. A source that belongs to no side (or to
// no side of the game) still pops it but gives no bonus, and a side without a vehicle
// gets no change.
//
// Units: world units, seconds, radians. Lifetime: lives in the current game's bonus-
// balloon list (GameController::spawnBonusBalloon puts it there), which owns it; popping
// and running out only flag it for deletion. Needs the texture skins "balloons:i" and,
// at detail 1 and more, the "flare" texture of its puffs. Main thread only.
#include <cstdint>
#include <string>

#include "engine/Vector3.h"
#include "game/GameEntity.h"

class BonusBalloon : public GameEntity {
public:
    static constexpr float kBobHeight = 16.0f;   // units up and down around basePosition
    static constexpr float kBreath = 0.05f;      // of the horizontal scale
    static constexpr float kBreathRate = 16.0f;  // radians per second
    static constexpr float kCollisionSensitivity = 0.5f;
    static constexpr std::int32_t kScoreValue = 100;

    // A balloon at (x, y, z) that vanishes after `lifetime` seconds (0 or less: never).
    BonusBalloon(float x, float y, float z, double lifetime);

    void tick(double time, double dt) override { update(time, dt); }
    // Bobbing, breathing, the lifetime and the first frame's puff of flares; no motion
    // step, no state machine, no children.
    virtual void update(double time, double dt);
    // Popped by `source` (may be null): flagged, a puff of flares, the bonus for the
    // source's side and its label. A balloon already flagged ignores further pops.
    void destroy(GameEntity* source) override { pop(source); }
    using GameEntity::destroy;
    virtual void pop(GameEntity* source);
    // The bonus of the kind for popping side `side` (0 or 1); nothing here.
    virtual void applyBonus(std::int32_t side);

    Vector3 basePosition;         // where it was made; it bobs around it
    std::uint8_t bSabotage = 0;   // the bonus harms the other side
    std::u16string bonusText;     // the label shown when popped; empty: none
    float phase;                  // radians: bobbing phase, random
    double lifetime;              // s left before it vanishes; 0 or less: never
    std::uint8_t bSpawnPuff = 1;  // a puff of flares is due in the first update

private:
    void puff();
};
