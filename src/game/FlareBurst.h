#pragma once
// A spray of glowing "flare" sprites thrown from a point that fall, shrink and vanish:
// plane exhaust, firework sparks, the laser's muzzle flash and bonus pickups. Emitted and
// drawn as the explosion family (SpriteEffect) does; the sparks fall under their own
// gravity and shrink with their life instead of running through frames.
//
// The inherited fields serve as the burst's own: `particleCount` sparks, `maxSpeed`, the
// decay rate `lifeDecay` (128 per second here) and `frames` ("flare", whose skin 0 every
// spark wears). Each spark keeps its launch life in `initialLife`.
//
// Fire-and-forget: lives in an effect list and flags itself for deletion once no spark
// has life left. Needs the texture "flare" in the resource registry (fatal when missing).
#include "game/SpriteEffect.h"
#include "render/UColor.h"

class FlareBurst : public SpriteEffect {
public:
    static constexpr float kDecayRate = 128.0f;  // life lost per second
    static constexpr float kGravity = 128.0f;    // units per second squared, downward
    static constexpr float kMinimumSize = 0.1f;  // the scale of a spark about to vanish
    static constexpr float kDepthScale = 2.0f;

    // `count` sparks at (x, y, z) with launch speeds in [speedMin, speedMax], directions
    // within `arc` around `direction` (radians), tinted `colour`; a spark starts at
    // about `size` times its picture and shrinks toward 0.1 as its life runs out.
    FlareBurst(float x, float y, float z, int count, float speedMin, float speedMax, float direction, float arc,
               float size, UColor colour);

    // Falls, shrinks and fades the live sparks; flags the burst once none is left
    // (at once for a burst without sparks).
    void update(double time, double dt) override;

    float size = 1.0f;  // the scale of a spark at full speed
};
