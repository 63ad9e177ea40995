#pragma once
// A framed panel: the "gui-game-square" frame stretched to a size, with an optional
// caption near its top. The backdrop of popups and of framed texts.
#include <string>

#include "render/Renderable.h"

class FramePanel : public Renderable {
public:
    // Centred on (x, y, z), width x height virtual pixels.
    FramePanel(float x, float y, float z, float width, float height, std::u16string caption);

    void render() override;

    std::u16string caption;
};
