#pragma once
// The developer overlays drawn at the end of each worked frame while debugging is
// unlocked, above everything else: text lines with the frame rate, phase timings,
// drawing counters, resident memory and input state (debugLevel bits 0x01 and 0x02),
// and graphs of the last 512 frames' work time and resident memory (bit 0x04). Drawn in
// the console's camera (one unit per viewport pixel) with the engine's default font.
//
// They allocate temporary vertex buffers and strings every frame; development only.

#include "engine/Qor.h"

// The frame-phase time stamps (seconds of engine time) the frame loop keeps: frame
// start, tick start, after the scene, after the console, after drawing, after the
// overlays, after presenting, after the pacing wait. While the overlays draw, entries
// 5 to 7 still hold the previous frame's values.
struct FramePhases {
    double t[8] = {};
    double overlayTime = 0.0;  // s, the previous frame's overlays (t[5] - t[4] then)
    double unpacedRate = 0.0;  // 1 / work time of this frame
    FrameCounters counters;    // the drawing counters before the console drew
};

namespace FrameOverlays {
constexpr int kFrameRateLine = 0x01;
constexpr int kDetailLines = 0x02;
constexpr int kGraphs = 0x04;

// Draws what debugLevel asks for; nothing while it is 0 or debugging is locked.
void draw(const FramePhases& phases);
}  // namespace FrameOverlays
