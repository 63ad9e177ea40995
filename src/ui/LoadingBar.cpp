#include "ui/LoadingBar.h"

#include <algorithm>

#include "engine/ErrorManager.h"
#include "engine/Qor.h"
#include "engine/ResourceManager.h"
#include "render/Quad.h"
#include "render/Texture.h"

namespace {
constexpr int kLeftMiddle = 4;

Skin* textureSkin(Texture* texture, int index) {
    QOR_ASSERT("LoadingBar::LoadingBar", index >= 0 && index < static_cast<int>(texture->skins.size()));
    return texture->skins[static_cast<std::size_t>(index)];
}
}  // namespace

LoadingBar::LoadingBar(Texture* texture, int frameSkinIndex, int fillSkinIndex_)
    : pTexture(texture), fillSkinIndex(fillSkinIndex_) {
    if (frameSkinIndex >= 0) {
        pSkin = textureSkin(texture, frameSkinIndex);
        updateXform();
    }
    bSkipVisibility = 1;
    fillSource = static_cast<Quad*>(textureSkin(texture, fillSkinIndex));
    fillQuad = new Quad();
    fillQuad->pTexture = texture;
    fillQuad->uvRect = fillSource->uvRect;
    fillQuad->refresh();
    fillQuad->setAnchor(kLeftMiddle);
    fill.pSkin = fillQuad;
    fill.bOwnsSkin = 1;
    fill.bSkipVisibility = 1;
    fill.setPosition(-fillSource->width / 2.0f, 0.0f, 0.0f);
    setProgress(0.0f);
}

LoadingBar::~LoadingBar() = default;

void LoadingBar::setProgress(float fraction) {
    progress = std::clamp(fraction, 0.0f, 1.0f);
    const auto& uv = fillSource->uvRect;
    fillQuad->uvRect = {uv[0], uv[1], uv[0] + (uv[2] - uv[0]) * progress, uv[3]};
    fillQuad->refresh();
    fillQuad->setAnchor(kLeftMiddle);
    updateXform();
}

void LoadingBar::render() {
    if (bHidden) return;
    Renderable::render();
    fill.color = color;
    fill.render();
}

void LoadingBar::updateXform() {
    Renderable::updateXform();
    fill.setPostXform(xform);
}
