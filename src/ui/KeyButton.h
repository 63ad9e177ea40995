#pragma once
// A key of the on-screen keyboard: a button that, when clicked, writes its character
// into a slot of the screen that owns it (the name entry's character of the frame).
// The slot is not owned and must outlive the key.
#include "ui/MenuButton.h"

class KeyButton : public MenuButton {
public:
    KeyButton(float x, float y, float z, std::u16string caption, std::u16string helpText, char16_t character,
              char16_t* target);

    // The button's click, then the character into the slot.
    void onClick() override;

    char16_t character;
    char16_t* pTarget;  // not owned, may be null
};
