#pragma once
// A check box bound to a byte of the caller's (0 or 1), toggled by a press on it and
// shown with the fonts' check mark.
#include <cstdint>
#include <string>

#include "ui/MenuItem.h"

class MenuItemCheckbox : public MenuItem {
public:
    // value: not owned, must outlive the item.
    MenuItemCheckbox(float x, float y, float z, std::uint8_t* value, std::u16string caption, std::u16string helpText);

    void tick(double time, double dt) override;
    void render() override;

    std::uint8_t* value;
};
