#pragma once
// The frame pacer: at the end of each worked frame it waits until the frame period has
// passed since the frame started, and books when the next frame starts. While frames keep
// their pace the booked start is the deadline itself, so that a sleep that overshoots
// takes its overshoot from the next frame's wait instead of adding it to every frame: the
// mean rate is then the cap, and the game's time step is the period. A frame that overruns
// its period now and then is caught up the same way, by the frames after it. A frame that
// wakes a whole period or more past its deadline (a long load, a breakpoint) is not caught
// up, nor is a run of frames that overrun one after another (a machine too slow for the
// cap): the next frame starts afresh when it wakes and again gets a whole period, so that
// the game steps by the time its frames really take. Booked starts thus lie at least a
// period apart, and no stretch of booked frames runs faster than the period allows; a
// frame starts less than a period after its booked start. A wait lasts at most a second,
// whatever the period; a frame whose wait was cut short starts when it wakes.

struct QorTimer {
    // frameStart = previousFrameStart = game time now; period = the argument (seconds).
    void start(double newPeriod);
    // Sleeps out the rest of the period on the engine's clock, then books the new frame start.
    void wait();

    double accuracy = 0.0;            // s, lateness of the last wake past its deadline (positive: late)
    double frameStart = 0.0;          // s, game time at which the current frame started, as booked
    double previousFrameStart = 0.0;  // s, game time at which the previous frame started, as booked
    double period = 0.0;              // s, the target frame period
    bool lastFrameOverran = false;    // whether the last frame reached its deadline with no time left to sleep
};
