#pragma once
// The time the whole-program tests move the engine's clock by each frame (ProgramFixture's
// useSteppedClock): 20 frames a second of the game, few enough that its waits of seconds
// cost few frames, and every run sees the same times.

inline constexpr double kFrameStep = 0.05;  // s of the clock per frame
