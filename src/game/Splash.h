#pragma once
// A water splash: a ring spreading on the water for one second, and droplets thrown up
// from just below the splash point that fall back under gravity and stop once they are
// back at the water. Fire-and-forget like SpriteEffect: the splash flags itself for
// deletion in the first update in which no droplet is alive, ring or not.
//
// A droplet's life starts as its launch speed and falls by 192 per second; its frame
// counts from a life of 400, so launch speeds above 400 hold the first frame until their
// life has fallen below it.
//
// Owns its droplets and its ring. The textures "splash" (droplets) and "circularSplash"
// (ring) are found by name when the splash is made; a missing one is fatal.
#include <memory>

#include "engine/QorBase.h"
#include "engine/Vector3.h"
#include "game/EffectParticle.h"
#include "render/Renderable.h"

class Texture;

class Splash : public QorBase {
public:
    static constexpr float kGravity = 768.0f;        // units per second squared, downward
    static constexpr float kLifeDecay = 192.0f;      // droplet life lost per second
    static constexpr float kFrameLifeSpan = 400.0f;  // the droplet life the frames count from
    static constexpr double kRingTime = 1.0;         // seconds the ring shows
    static constexpr float kDropletDrop = 4.0f;      // droplets start this far below the splash point

    // A splash at (x, y, z) of `count` droplets with launch speeds in [speedMin,
    // speedMax], directions within `arc` around `direction` (radians), droplets and ring
    // scaled by `scale`. Draws two random values per droplet.
    Splash(float x, float y, float z, int count, float speedMin, float speedMax, float direction, float arc,
           float scale);

    void tick(double time, double dt) override { update(time, dt); }
    // The ring during its first second, then the live droplets.
    void render() override;
    void update(double time, double dt);

    bool anyAlive() const;

    std::unique_ptr<EffectParticle[]> particles;  // the droplets
    int particleCount = 0;
    Vector3 origin{0.0f, 0.0f, 0.0f};  // where the splash was made
    Renderable ring;                   // the spreading ring; not in the tree
    double ringAge = 0.0;              // seconds since the splash was made
    Texture* dropletFrames = nullptr;  // "splash"; owned by the registry
    Texture* ringFrames = nullptr;     // "circularSplash"; owned by the registry

private:
    void updateRing(double dt);
    void updateDroplet(EffectParticle& p, float step, int frameCount);
};
