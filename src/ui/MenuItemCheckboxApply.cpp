#include "ui/MenuItemCheckboxApply.h"

#include "ui/Global.h"

MenuItemCheckboxApply::MenuItemCheckboxApply(float x, float y, float z, std::uint8_t* value_, std::u16string caption_,
                                             std::u16string helpText_)
    : MenuItemCheckbox(x, y, z, value_, std::move(caption_), std::move(helpText_)) {}

// Applies at once, keeping the display mode; no trigger and no click sound.
void MenuItemCheckboxApply::onClick() {
    if (global) global->applySettings(-1, -1);
}
