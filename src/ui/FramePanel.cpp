#include "ui/FramePanel.h"

#include "render/Quad.h"
#include "ui/MenuFonts.h"
#include "ui/MenuResources.h"
#include "ui/NineSliceFrame.h"
#include "ui/TextFont.h"

FramePanel::FramePanel(float x, float y, float z, float width, float height, std::u16string caption_)
    : caption(std::move(caption_)) {
    auto* frame = new NineSliceFrame(dynamic_cast<Quad*>(MenuResources::findSkin(u"gui-game-square:0")));
    frame->setMargins(16, 16, 16, 16);
    frame->buildVertices(width, height);
    pSkin = frame;
    bOwnsSkin = 1;
    setPosition(x, y, z);
}

void FramePanel::render() {
    Renderable::render();
    TextFont* font = MenuFonts::get(MenuFonts::kMedium);
    if (bHidden || caption.empty() || !font || !pSkin) return;
    font->drawTextAt(Vector3{position.x, position.y + pSkin->height * 0.5f - 30.0f, position.z}, 0x80000000u, 0x14,
                     caption);
}
