#pragma once
// The frame pacer: at the end of each worked frame it waits until the frame period has
// passed since the frame started, and books when the next frame starts. Frames are not
// dropped or caught up: a late frame starts the next one at once, and the frame after it
// again gets a whole period, so that no stretch of frames runs faster than the period
// allows. A wait lasts at most a second, whatever the period.

struct QorTimer {
    // frameStart = previousFrameStart = game time now; period = the argument (seconds).
    void start(double newPeriod);
    // Sleeps out the rest of the period on the engine's clock, then books the new frame start.
    void wait();

    double accuracy = 0.0;            // s, lateness of the last wait (positive: late)
    double frameStart = 0.0;          // s, game time at which the current frame started
    double previousFrameStart = 0.0;  // s, game time at which the previous frame started
    double period = 0.0;              // s, the target frame period
};
