#include "ui/KeyButton.h"

KeyButton::KeyButton(float x, float y, float z, std::u16string caption_, std::u16string helpText_, char16_t character_,
                     char16_t* target)
    : MenuButton(x, y, z, std::move(caption_), std::move(helpText_)), character(character_), pTarget(target) {}

void KeyButton::onClick() {
    MenuButton::onClick();
    if (pTarget) *pTarget = character;
}
