#pragma once
// The loading screen's progress bar: a frame skin with a fill skin over it that is
// revealed from its left edge as the fraction goes from 0 to 1. Both skins come from
// one texture (frame and fill skin indices). The fill is a second drawable held by the
// bar (not a child), with a quad of its own that follows the bar's transform.
//
// The skins belong to their texture; the fill's quad belongs to the bar.
#include "render/Renderable.h"

class Quad;
class Texture;

class LoadingBar : public Renderable {
public:
    // A negative frame skin index leaves the bar without a frame; a skin the texture
    // does not have is fatal.
    LoadingBar(Texture* texture, int frameSkinIndex, int fillSkinIndex);
    ~LoadingBar() override;

    // Shows `fraction` of the fill, clamped to 0..1.
    void setProgress(float fraction);
    // The frame, then the fill in the bar's colour; nothing while hidden.
    void render() override;
    // Moves the fill with the bar.
    void updateXform() override;

    Texture* pTexture = nullptr;  // not owned
    int fillSkinIndex = 1;
    float progress = 0.0f;  // 0..1
    Renderable fill;        // the revealed part; owns its quad

private:
    Quad* fillSource = nullptr;  // the texture's fill skin, not owned
    Quad* fillQuad = nullptr;    // fill's skin, owned by fill
};
