#include "ui/MenuItemCheckboxApply.h"

#include "ui/Global.h"

MenuItemCheckboxApply::MenuItemCheckboxApply(float x, float y, float z, std::uint8_t* value_,
                                             std::u16string caption_, std::u16string helpText_)
    : MenuItemCheckbox(x, y, z, value_, std::move(caption_), std::move(helpText_)) {}

void MenuItemCheckboxApply::onClick() {
    // Applying the settings arrives with the application object's settings; until then a
    // click changes only the bound byte.
}
