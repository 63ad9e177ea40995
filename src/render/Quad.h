#pragma once
// The skin that draws a textured rectangle: a 4-vertex triangle strip with a UV
// rectangle and a source rectangle in texture pixels. Without a texture it draws as a
// plain rectangle in the renderable's colour.
#include <array>

#include "render/Rect.h"
#include "render/Skin.h"

class Texture;

class Quad : public Skin {
public:
    Quad();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // Tints with r's colour (as the texture factor) and draws the strip.
    void draw(Renderable& r) override;
    // Size from the UV rectangle and the texture's logical size (no texture: unchanged).
    virtual void refresh();

    // Takes the rectangle in texture pixels (argument order left, top, bottom, right)
    // and its UV rectangle from the texture, then refreshes.
    void setSourceRect(int left, int top, int bottom, int right);
    // Rebuilds the four vertices for a w x h rectangle centred on 0 and uploads them.
    void setSize(float w, float h);

    std::uint8_t bUVFromPixelOffset = 0;  // not used
    float pixelOffset[2] = {0.0f, 0.0f};  // not used
    float reserved = 0.0f;
    Texture* pTexture = nullptr;                          // not owned
    std::array<float, 4> uvRect{0.0f, 0.0f, 1.0f, 1.0f};  // left u, top v, right u, bottom v
    Rect sourceRect;
};
