#pragma once
// A volume control: a value of 0 to its maximum stepped by 1 with the arrows, shown as a
// row of bars (one per step, growing to the right, to the left in a right-to-left
// language) instead of a number. Every press applies the settings at once, so the
// player hears the new volume while still on the screen.
#include <cstdint>
#include <string>

#include "ui/MenuItemValue.h"

class MenuItemVolume : public MenuItemValue {
public:
    static constexpr float kFirstBar = -84.0f;  // item units from the centre
    static constexpr float kBarSpacing = 7.0f;

    // value: not owned, must outlive the item.
    MenuItemVolume(float x, float y, float z, std::int32_t* value, std::int32_t minimum, std::int32_t maximum,
                   std::u16string caption, std::u16string helpText);

    void drawValue(float x, float y, float z) override;
    // Triggers, clicks and applies the settings (keeping the display mode).
    void onClick() override;
};
