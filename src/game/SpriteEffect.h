#pragma once
// Explosions, flames and smoke puffs: `particleCount` sprites thrown out from one point
// within an arc around a direction, each running through the frames of a texture while
// its life runs down. Fire-and-forget: the creator appends the effect to an entity list;
// in the first update in which no particle is alive the effect flags itself for
// deletion, and the tree deletes it with its particles.
//
// A particle's life starts as its launch speed (units per second) and falls by
// `lifeDecay` per second; its frame is chosen from how far its life has fallen below
// `maxSpeed`, so faster particles live longer and start earlier in the animation.
//
// Owns its particles. The frame textures ("explosion", "smoke") are found by name in the
// resource registry when the effect is made; a missing one is fatal.
#include <memory>

#include "engine/QorBase.h"
#include "game/EffectParticle.h"
#include "render/UColor.h"

class Texture;

class SpriteEffect : public QorBase {
public:
    static constexpr float kLifeDecay = 64.0f;  // life lost per second

    // An explosion at (x, y, z): `count` particles with launch speeds in [speedMin,
    // speedMax], directions within `arc` around `direction` (radians), each particle
    // scaled by `scale`. Draws three random values per particle.
    SpriteEffect(float x, float y, float z, int count, float speedMin, float speedMax, float direction, float arc,
                 float scale);
    // The same effect with the "smoke" frames, every particle tinted `colour` (ARGB).
    static SpriteEffect* createSmoke(float x, float y, float z, int count, float speedMin, float speedMax,
                                     float direction, float arc, float scale, UColor colour);

    void tick(double time, double dt) override { update(time, dt); }
    // Draws the live particles only.
    void render() override;
    // Moves and animates the live particles; no state machine, no children.
    virtual void update(double time, double dt);

    // Whether any particle has life left.
    bool anyAlive() const;

    float lifeDecay = kLifeDecay;  // life lost per second by every particle
    std::unique_ptr<EffectParticle[]> particles;
    int particleCount = 0;
    float maxSpeed = 0.0f;      // the upper launch speed given at construction
    Texture* frames = nullptr;  // the animation, its skins in order; owned by the registry

protected:
    // The emitter shared by the effects of this family: the particles get their launch
    // from the shared random generator (arc offset, roll, speed, in this order).
    SpriteEffect(const char16_t* frameTexture, float x, float y, float z, int count, float speedMin, float speedMax,
                 float direction, float arc, float scale);
};
