#pragma once
// The game's logo (the skin "logo:all") with the timing of a FadingText: a start delay,
// a lifetime and fades of its alpha. Unlike a label it is drawn at full alpha outside
// its fades and goes on being drawn after its lifetime unless it removes itself.
#include <cstdint>

#include "render/Renderable.h"

class LogoImage : public Renderable {
public:
    LogoImage();

    void tick(double time, double dt) override;
    void render() override;

    std::uint8_t bAutoRemove = 1;
    double delay = 0.0;          // s
    double lifetime = 999999.0;  // s after the delay
    double fadeIn = 0.0;         // s
    double fadeOut = 0.0;        // s
    double age = 0.0;            // s since the delay ran out (not clamped)
};
