#pragma once
// Where the screen stack's frame-rate line stands: straight below its corner spot as far
// as it takes to keep clear of what the top screen shows there and must keep readable
// (the boxes a screen names through Context::addBoxesToKeepClear). Pure arithmetic on
// the screen's units (y up); any list of boxes is taken, odd values included.
#include <cstddef>
#include <vector>

#include "render/Camera.h"

class FrameRatePlacement {
public:
    // Units kept between the frame rate's line and what it must not cover; under the
    // score that leaves sky between the rate and the rim of the HUD's plate.
    static constexpr float kGap = 4.0f;

    // Moves `box` straight down, no further than it takes, until it comes within kGap of
    // none of `parts`. It never moves up. A part with a NaN top is left out; one that
    // reaches down to minus infinity sends the box there. `steps`, when given, is set to
    // the work done: the comparisons of two parts and the looks at one part, which grow
    // no faster than n log n for n parts.
    static void lowerPast(ViewRect& box, std::vector<ViewRect> parts, std::size_t* steps = nullptr);
};
