#pragma once
// One control of a player's key page: the plate shows the name of the input code bound
// to it; choosing it opens a capture popup that waits for the next key or joystick
// button. The captured code is removed from every other control first, so that one
// code never drives two controls; Escape cancels and keeps the binding.
//
// The binding lives in the configuration record's key table (not owned); the game reads
// it from there. The popup answers through pendingCode, which it can write only while
// it is the top screen, above this item's page.
#include <cstdint>
#include <string>

#include "ui/MenuItem.h"

class KeyBindingItem : public MenuItem {
public:
    static constexpr std::int32_t kNothingYet = 0;
    static constexpr std::int32_t kCancelled = 1;  // Escape's code

    // binding: an entry of the record's key table; not owned, must outlive the item.
    KeyBindingItem(float x, float y, float z, std::u16string caption, std::u16string helpText, std::int32_t* binding);

    void tick(double time, double dt) override;
    // The bound code's name, centred on the plate, shrunk to fit.
    void drawValue(float x, float y, float z) override;

    std::int32_t* pBinding;
    std::int32_t pendingCode = kNothingYet;  // the capture popup's answer
};
