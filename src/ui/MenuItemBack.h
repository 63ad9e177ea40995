#pragma once
// A button that closes the top screen when clicked.
#include "ui/MenuButton.h"

class MenuItemBack : public MenuButton {
public:
    MenuItemBack(float x, float y, float z, std::u16string caption, std::u16string helpText);

    void onClick() override;
};
