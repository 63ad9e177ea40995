#pragma once
// Test support: a screen whose drawing is a function, for picture tests of text.
#include <cstdint>
#include <functional>
#include <vector>

#include "render/Context.h"

class TextScene : public Context {
public:
    explicit TextScene(std::function<void()> draw_) : draw(std::move(draw_)) {}
    void renderContents() override { draw(); }
    std::function<void()> draw;
};

// Picture tests of text run the window at the virtual screen's own size, so that one
// unit is one pixel, and compare the top-left quarter, where the texts are drawn.
inline const char* kTextPictureSettings =
    "[QorGraphics]\nbFullScreen=No\nvideoModeWidth=800\nvideoModeHeight=480\nbBilinearFilter=No\n";

inline std::vector<std::uint32_t> topLeftQuarter(const std::vector<std::uint32_t>& pixels, int width, int height) {
    std::vector<std::uint32_t> out;
    for (int y = 0; y < height / 2; ++y)
        for (int x = 0; x < width / 2; ++x) out.push_back(pixels[static_cast<std::size_t>(y) * width + x]);
    return out;
}
