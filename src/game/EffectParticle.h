#pragma once
// One sprite of a particle effect (SpriteEffect, Splash, FlareBurst): a bare drawable
// with a velocity and a life value. Particles live in their effect's own array, never in
// the object tree, and are always drawn (bSkipVisibility is set when they are emitted).
//
// `life` does double duty: the particle is alive while it is above 0, and the effects
// pick the animation frame from it (a particle starts with its launch speed as life).
#include <cmath>

#include "render/Renderable.h"

class EffectParticle : public Renderable {
public:
    struct Velocity {
        float x = 0.0f;  // units per second
        float y = 0.0f;
    };

    EffectParticle() = default;

    // The share of its life that a particle launched `offset` radians off the centre of
    // an `arc` keeps: all of it at the centre, a tenth at the edges. Full circles (arc 0
    // or 2 pi and more) keep every particle's life.
    static float arcLifeFactor(float offset, float arc) {
        constexpr float kFullCircle = 6.2831855f;
        if (!(arc > 0.0f && arc < kFullCircle)) return 1.0f;
        return 1.0f - std::fabs(offset / (arc / 2.0f)) * 0.9f;
    }

    // The frame index trunc(value) when it names one of `frames` frames, else -1 (also
    // for values that are not finite).
    static int frameIndex(float value, int frames) {
        if (!(value >= 0.0f && value < static_cast<float>(frames))) return -1;
        return static_cast<int>(value);
    }

    // The frame index trunc(value) clamped into the `frames` frames: values below the
    // first frame show the first, those past the last show the last. -1 only when there
    // is no frame to show (none at all, or a value that is not a number).
    static int clampedFrame(float value, int frames) {
        if (frames < 1 || std::isnan(value)) return -1;
        if (!(value < static_cast<float>(frames))) return frames - 1;
        return value < 0.0f ? 0 : static_cast<int>(value);
    }

    Velocity velocity;
    float life = 0.0f;         // remaining life; alive while > 0
    float initialLife = 0.0f;  // the life it was emitted with (flare bursts keep it)
};
