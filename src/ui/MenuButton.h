#pragma once
// The standard push button: caption inside the plate, a click needs press and release of
// the first contact on the same button, and an optional yes-or-no question asked in a
// popup before the button acts (it then acts on Yes, one tick after the popup closed).
#include <cstdint>
#include <string>

#include "ui/MenuItem.h"

class MenuButton : public MenuItem {
public:
    MenuButton(float x, float y, float z, std::u16string caption, std::u16string helpText);

    void tick(double time, double dt) override;

    std::u16string questionTitle;  // either not empty: a click asks first
    std::u16string questionText;
    std::int32_t answer = -1;  // the question popup's answer: 0 yes, 1 no, -1 none

private:
    void askQuestion();
};
