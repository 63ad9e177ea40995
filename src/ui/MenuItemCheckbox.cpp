#include "ui/MenuItemCheckbox.h"

#include "ui/MenuFonts.h"
#include "ui/TextFont.h"

MenuItemCheckbox::MenuItemCheckbox(float x, float y, float z, std::uint8_t* value_, std::u16string caption_,
                                   std::u16string helpText_)
    : MenuItem(x, y, z, std::move(caption_), std::move(helpText_)), value(value_) {
    setWidth(50.0f);
}

void MenuItemCheckbox::tick(double time, double dt) {
    MenuItem::tick(time, dt);
    if (!isPointerPressOnItem() || !value) return;
    *value = *value == 0 ? 1 : 0;  // anything but 0 reads as checked, and unchecks
    onClick();
}

void MenuItemCheckbox::render() {
    MenuItem::render();
    TextFont* medium = MenuFonts::get(MenuFonts::kMedium);
    if (bHidden || !value || *value == 0 || !medium) return;
    Renderable pen;
    pen.position = local2world(Vector3{0.0f, 0.0f, 0.0f});
    pen.rotation = rotation;
    pen.scale = scale;
    pen.color = captionColour;
    pen.updateXform();
    medium->drawText(pen, 0x14, u"\x01");
}
