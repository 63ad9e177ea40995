#include "ui/KeyBindingItem.h"

#include <cmath>

#include "engine/Qor.h"
#include "inputaudio/QorInput.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "ui/ContextKeyCapture.h"
#include "ui/Global.h"
#include "ui/ScreenStack.h"

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
    if (!pBinding) return;
    const std::u16string& name = qor->language().keyName.get(*pBinding);
    drawValueText(name, x, y, z, getTextFitScale(name, std::trunc(getFrameWidth() - getFrameHeight())));
}
