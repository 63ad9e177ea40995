#pragma once
// A block of word-wrapped, marked-up lines built from a FadingText used as a template:
// one FadingText child per span, all in the template's colour and timing, that follow
// the panel's transform and go together. The panel removes itself (with bAutoRemove)
// once every label has gone.
#include <cstdint>

#include "render/Renderable.h"

class FadingText;

class TextPanel : public Renderable {
public:
    // Lays out the template's text to maxWidth; the caller keeps the template. Flags of
    // the template: 0x04 centres each line on x, 0x08 ends it at x, 0x10 centres the
    // block on y, 0x20 puts its bottom at y.
    TextPanel(const FadingText& templateText, float maxWidth);

    void tick(double time, double dt) override;
    void render() override;
    void updateXform() override;

    float width = 0.0f;  // of the laid-out text, virtual pixels
    float height = 0.0f;
    std::uint8_t bAutoRemove = 1;
};
