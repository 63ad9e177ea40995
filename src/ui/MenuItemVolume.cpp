#include "ui/MenuItemVolume.h"

#include "engine/Qor.h"
#include "language/Language.h"
#include "ui/Global.h"
#include "ui/MenuResources.h"
#include "ui/TextFont.h"

namespace {
constexpr UColor kShadowColour = 0x40000000u;
constexpr int kCentred = 0x14;
}  // namespace

MenuItemVolume::MenuItemVolume(float x, float y, float z, std::int32_t* value_, std::int32_t minimum_,
                               std::int32_t maximum_, std::u16string caption_, std::u16string helpText_)
    : MenuItemValue(x, y, z, value_, minimum_, maximum_, 1, std::move(caption_), std::move(helpText_)) {}

// The bars stand at item-space points, so the item's pulse moves them, but each is drawn
// at scale 1.
void MenuItemVolume::drawValue(float, float, float) {
    if (!value || !pFont) return;
    const float d = qor->language().rightToLeft == 1 ? -1.0f : 1.0f;
    for (std::int32_t i = 0; i < *value; ++i) {
        Renderable pen;
        pen.position = local2world(Vector3{kFirstBar * d + kBarSpacing * d * static_cast<float>(i), 0.0f, 0.0f});
        pen.rotation = rotation;
        pen.color = captionColour;
        pen.updateXform();
        if (bShadow)
            pFont->drawTextWithShadow(pen, kCentred, u"|", kShadowColour, Vector3{2.0f, -2.0f, 0.0f});
        else
            pFont->drawText(pen, kCentred, u"|");
    }
}

void MenuItemVolume::onClick() {
    bTriggered = 1;
    MenuResources::playSound(u"mouseClick");
    if (global) global->applySettings(-1, -1);
}
