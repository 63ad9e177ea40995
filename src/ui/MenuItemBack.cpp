#include "ui/MenuItemBack.h"

#include "render/Context.h"
#include "ui/ScreenStack.h"

MenuItemBack::MenuItemBack(float x, float y, float z, std::u16string caption_, std::u16string helpText_)
    : MenuButton(x, y, z, std::move(caption_), std::move(helpText_)) {}

void MenuItemBack::onClick() {
    MenuButton::onClick();
    if (Context* top = ScreenStack::top()) top->bFinished = 1;
}
