#pragma once
// Runs a results screen the way the screen stack ticks its top screen, on a clock that
// starts from 0 and steps `frame` seconds a frame, until `frames` frames into `state`.
// From 0 every step of a binary fraction such as a thirty-second adds up exactly, where
// from the engine's own start time the steps would round differently from run to run.
#include "engine/Qor.h"
#include "game/GameControllerResults.h"

inline void runResultsInto(GameControllerResults& results, int state, int frames, double frame) {
    qor->timer.frameStart = 0.0;
    for (int n = 0; results.state < state || n < frames; n += results.state < state ? 0 : 1) {
        qor->timer.previousFrameStart = qor->timer.frameStart;
        qor->timer.frameStart += frame;
        results.tick(0.0, 0.0);
    }
}
