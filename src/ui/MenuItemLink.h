#pragma once
// A button that, when clicked, ends the program and has a page opened once the program
// has closed (the web service's pages, local documents). The opener assigns url.
#include <string>

#include "ui/MenuButton.h"

class MenuItemLink : public MenuButton {
public:
    MenuItemLink(float x, float y, float z, std::u16string caption, std::u16string helpText);

    // Triggers, stores url as the address to open after exit and asks the program to end.
    void onClick() override;

    std::u16string url;  // empty: the program ends and nothing is opened
};
