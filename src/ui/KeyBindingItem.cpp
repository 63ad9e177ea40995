#include "ui/KeyBindingItem.h"

#include <cmath>

#include "engine/Qor.h"
#include "inputaudio/QorInput.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "ui/ContextKeyCapture.h"
#include "ui/Global.h"
#include "ui/ScreenStack.h"
#include "ui/TextFont.h"

namespace {
constexpr UColor kShadowColour = 0x40000000u;
constexpr int kCentred = 0x14;
}  // namespace

KeyBindingItem::KeyBindingItem(float x, float y, float z, std::u16string caption_, std::u16string helpText_,
                               std::int32_t* binding)
    : MenuItem(x, y, z, std::move(caption_), std::move(helpText_)), pBinding(binding) {}

// The answer is taken in the first frame the page is on top again after the popup.
void KeyBindingItem::tick(double time, double dt) {
    MenuItem::tick(time, dt);
    if (isPointerPressOnItem()) {
        ScreenStack::push(
            new ContextKeyCapture(&pendingCode, caption, qor->language().getString(StringId::CONTROLSHINT)));
        return;
    }
    if (pendingCode == kNothingYet || pendingCode == kCancelled || !pBinding) return;
    global->configuration.unbindKey(pendingCode);
    *pBinding = pendingCode;
    pendingCode = kNothingYet;
}

void KeyBindingItem::drawValue(float x, float y, float z) {
    if (!pFont || !pBinding) return;
    const std::u16string& name = qor->language().keyName.get(*pBinding);
    const float fit = getTextFitScale(name, std::trunc(getFrameWidth() - getFrameHeight()));
    Renderable pen;
    pen.position = Vector3{x, y, z};
    pen.rotation = rotation;
    pen.scale = scale * fit;
    pen.color = captionColour;
    pen.updateXform();
    if (bShadow)
        pFont->drawTextWithShadow(pen, kCentred, name, kShadowColour, Vector3{2.0f, -2.0f, 0.0f});
    else
        pFont->drawText(pen, kCentred, name);
}
