#include "ui/PlaceholderScreen.h"

#include "engine/Qor.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "ui/ContextMenu.h"
#include "ui/ContextMenuBackground.h"
#include "ui/FadingText.h"
#include "ui/Global.h"
#include "ui/MenuFonts.h"
#include "ui/MenuItemBack.h"

void PlaceholderScreen::build(ContextMenu* menu, const std::u16string& title) {
    menu->bDeleteOnClose = 1;
    if (global) menu->hookBefore = global->pMenuBackground;
    auto* label = new FadingText(0.0f, static_cast<float>(menu->cornerY), 0.0f, title,
                                 MenuFonts::get(MenuFonts::kLarge), 0xFFFFFFFFu);
    label->layoutFlags |= 0x10;
    menu->addChild(label);
    const std::u16string back = qor->language().getString(StringId::BACK);
    auto* item = new MenuItemBack(80.0f - static_cast<float>(menu->cornerX), static_cast<float>(-menu->cornerY), 0.0f,
                                  back, u"");
    item->setWidth(160.0f);
    menu->addItem(item);
}
