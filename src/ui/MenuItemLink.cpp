#include "ui/MenuItemLink.h"

#include "engine/ClassInfo.h"
#include "ui/Global.h"
#include "ui/ScreenStack.h"

QOR_DEFINE_CLASS(MenuItemLink, MenuButton, nullptr)

ClassInfo* MenuItemLink::getClass() const { return &classInfo; }

MenuItemLink::MenuItemLink(float x, float y, float z, std::u16string caption_, std::u16string helpText_)
    : MenuButton(x, y, z, std::move(caption_), std::move(helpText_)) {}

void MenuItemLink::onClick() {
    MenuButton::onClick();
    if (global) global->pendingWebAddress = url;
    ScreenStack::requestQuit();
}
