#pragma once
// The resizable frame of every menu plate, button and panel: one skin of a texture cut
// by four margins into nine pieces; the corners keep their size, the edges and the
// middle stretch to the frame's width and height. Three rows of eight vertices, each row
// drawn as one triangle strip.
//
// Margins are in pixels of the normal-resolution image, in the order left, top, right,
// bottom, and both the texture cut and the geometry read them so. A frame whose top and
// bottom margins are 0 draws only its middle row.
//
// The source skin is not owned and must outlive the frame (resources live until the
// end). Sizes are virtual pixels; a size of 0 or less keeps the source's own size.
#include <array>

#include "render/Quad.h"

class NineSliceFrame : public Quad {
public:
    static constexpr int kVertices = 24;

    explicit NineSliceFrame(Quad* source);

    void setMargins(int left, int top, int right, int bottom);
    void buildVertices(float width, float height);
    // Back to the source's own size.
    void refresh() override;
    void draw(Renderable& r) override;

    Quad* pSource = nullptr;                               // not owned
    std::array<float, 4> innerUV{0.0f, 0.0f, 1.0f, 1.0f};  // left u, top v, right u, bottom v
    std::array<int, 4> margins{0, 0, 0, 0};                // left, top, right, bottom

private:
    float sourceWidth() const;
    float sourceHeight() const;
};
