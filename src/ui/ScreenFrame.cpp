#include "ui/ScreenFrame.h"

#include "engine/Qor.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "ui/ContextMenu.h"
#include "ui/ContextMenuBackground.h"
#include "ui/FadingText.h"
#include "ui/Global.h"
#include "ui/MenuFonts.h"
#include "ui/MenuItemBack.h"

namespace {
constexpr float kCornerItemWidth = 160.0f;
}  // namespace

void ScreenFrame::build(ContextMenu* menu, const std::u16string& title) {
    menu->bDeleteOnClose = 1;
    if (global) menu->hookBefore = global->pMenuBackground;
    addTitle(menu, title);
    addBack(menu, qor->language().getString(StringId::BACK));
}

FadingText* ScreenFrame::addTitle(ContextMenu* menu, const std::u16string& title) {
    auto* label = new FadingText(0.0f, static_cast<float>(menu->cornerY), 0.0f, title,
                                 MenuFonts::get(MenuFonts::kLarge), 0xFFFFFFFFu);
    label->layoutFlags |= 0x10;
    menu->addChild(label);
    return label;
}

MenuItemBack* ScreenFrame::addBack(ContextMenu* menu, const std::u16string& caption) {
    auto* item = new MenuItemBack(kCornerItemWidth / 2.0f - static_cast<float>(menu->cornerX),
                                  static_cast<float>(-menu->cornerY), 0.0f, caption, u"");
    item->setWidth(kCornerItemWidth);
    menu->addItem(item);
    return item;
}

MenuButton* ScreenFrame::addButton(ContextMenu* menu, float y, const std::u16string& caption) {
    auto* item = new MenuButton(0.0f, y, 0.0f, caption, u"");
    menu->addItem(item);
    return item;
}

MenuButton* ScreenFrame::addNext(ContextMenu* menu, const std::u16string& caption) {
    auto* item = new MenuButton(static_cast<float>(menu->cornerX) - kCornerItemWidth / 2.0f,
                                static_cast<float>(-menu->cornerY), 0.0f, caption, u"");
    item->setWidth(kCornerItemWidth);
    menu->addItem(item);
    return item;
}
