#pragma once
// The developer overlays drawn at the end of each worked frame while debugging is
// unlocked, above everything else: text lines with the frame rate, phase timings,
// drawing counters, resident memory and input state (debugLevel bits 0x01 and 0x02),
// and graphs of the last 512 frames' work time and resident memory (bit 0x04). Drawn in
// the console's camera (one unit per viewport pixel) with the engine's default font.
//
// They allocate temporary vertex buffers and strings every frame; development only.

#include "engine/Qor.h"

namespace FrameOverlays {
constexpr int kFrameRateLine = 0x01;
constexpr int kDetailLines = 0x02;
constexpr int kGraphs = 0x04;

// Draws what debugLevel asks for, with the drawing counters as they stood before the
// console drew; nothing while it is 0 or debugging is locked.
void draw(const FramePhases& phases, const FrameCounters& sceneCounters);
}  // namespace FrameOverlays
