#pragma once
// A check box whose click applies the settings at once (keeping the display mode)
// instead of triggering the item.
#include "ui/MenuItemCheckbox.h"

class MenuItemCheckboxApply : public MenuItemCheckbox {
public:
    MenuItemCheckboxApply(float x, float y, float z, std::uint8_t* value, std::u16string caption,
                          std::u16string helpText);

    void onClick() override;
};
