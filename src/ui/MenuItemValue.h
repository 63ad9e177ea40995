#pragma once
// A number of the caller's (as a rule a field of the configuration record) stepped
// between a minimum and a maximum with two arrows at the ends of the plate; written in
// place. In a right-to-left language the left arrow raises the value. A value set out
// of range by the caller is clamped at the next press, not before.
#include <cstdint>
#include <string>

#include "ui/MenuItem.h"

class MenuItemValue : public MenuItem {
public:
    // value: not owned, must outlive the item.
    MenuItemValue(float x, float y, float z, std::int32_t* value, std::int32_t minimum, std::int32_t maximum,
                  std::int32_t step, std::u16string caption, std::u16string helpText);

    void tick(double time, double dt) override;
    void render() override;
    Vector3 getNavigationPoint(int i) override;
    void drawValue(float x, float y, float z) override;

    // The arrow points in the item's own space (left, right).
    Vector3 leftArrowPoint() const;
    Vector3 rightArrowPoint() const;

    std::int32_t* value;
    std::int32_t minimum;
    std::int32_t maximum;
    std::int32_t step;
};
