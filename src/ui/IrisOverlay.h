#pragma once
// The transition mask drawn above every screen: black everywhere outside a circular
// hole at the centre of the screen. The hole closes as `level` goes from 0 (open,
// nothing drawn) to 1 (closed, all black); `level` follows `target` at one unit per
// second. The screen stack opens it (target 0) whenever a new screen comes on top.
//
// Owned by the screen stack's overlay layer; positioned at the layer's origin, the
// centre of the screen.
#include "render/Renderable.h"

class IrisOverlay : public Renderable {
public:
    static constexpr int kSegments = 128;
    static constexpr float kRim = 32.0f;  // width of the soft edge, and the margin past the corners

    IrisOverlay();
    void tick(double time, double dt) override;
    void render() override;
    // Closed and shown: nothing drawn beneath it can be seen.
    bool coversScreen() const { return level >= 1.0f && !bHidden; }

    float level = 0.0f;   // 0 open .. 1 closed
    float target = 0.0f;  // where level is heading

private:
    void drawRing(float innerRadius, float outerRadius, std::uint32_t colour);
};
