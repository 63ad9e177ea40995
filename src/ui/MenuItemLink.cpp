#include "ui/MenuItemLink.h"

#include "ui/Global.h"
#include "ui/ScreenStack.h"

MenuItemLink::MenuItemLink(float x, float y, float z, std::u16string caption_, std::u16string helpText_)
    : MenuButton(x, y, z, std::move(caption_), std::move(helpText_)) {}

void MenuItemLink::onClick() {
    MenuButton::onClick();
    if (global) global->pendingUrl = url;
    ScreenStack::requestQuit();
}
