#pragma once
// A crate that floats down under a parachute from above the view. Shot, it breaks into
// debris and, when it carries a weapon, gives that weapon to the side whose projectile
// broke it (GameController::switchWeapon). It is not hostile: a wave does not wait for
// it. It sinks with a small splash in the water, and once it has been alive for 10 s it
// vanishes as soon as it is out of sight.
//
// The spawner's crates carry nothing (content 0) and fall faster; the Invasion drops
// crates carrying a weapon type 1 to 5. Lives in the game's enemy list, which owns it;
// it owns no resources ("crate" and "parachute" are the registry's).
#include <cstdint>

#include "game/Enemy.h"
#include "render/Renderable.h"

class ParachuteCrate : public Enemy {
public:
    static constexpr std::int32_t kScoreValue = 250;
    static constexpr float kSinkSpeed = 16.0f;        // units per second, with a weapon inside
    static constexpr float kParachuteHeight = 36.0f;  // units above the crate
    static constexpr double kLifetime = 10.0;         // s before an unseen crate vanishes

    // A crate holding weapon `content` (0: none; 1 to 5: a weapon type). Draws once
    // (the roll) from the shared generator.
    explicit ParachuteCrate(std::int32_t content);
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // Above the view; a crate without a weapon falls at a random faster speed.
    void enter() override;
    void tick(double time, double dt) override { update(time, dt); }
    // Motion, the lifetime, the parachute following.
    virtual void update(double time, double dt);
    // The parachute, then the crate.
    void render() override;
    // Debris, "crateBreak" and the weapon for the breaking projectile's side.
    void destroy(GameEntity* source) override;
    using GameEntity::destroy;
    void onWaterContact() override;

    Renderable parachute;      // drawn above the crate; not in the tree
    std::int32_t content = 0;  // weapon type inside; 0 for none
};
