#include "ui/ScreenFrame.h"

#include <algorithm>
#include <limits>

#include "engine/ChildIterator.h"
#include "engine/Qor.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "ui/ContextMenu.h"
#include "ui/ContextMenuBackground.h"
#include "ui/FadingText.h"
#include "ui/Global.h"
#include "ui/MenuFonts.h"
#include "ui/MenuItem.h"
#include "ui/MenuItemBack.h"
#include "ui/MessageViewer.h"
#include "ui/TextFont.h"

namespace {
constexpr float kCornerItemWidth = 160.0f;
constexpr float kBandGap = 4.0f;  // units of sky between a viewer's lines and the title or the items
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

// The title is centred on its height in the large font; an item's caption may stand
// higher than its frame.
void ScreenFrame::keepBetweenTitleAndItems(ContextMenu* menu, MessageViewer* viewer) {
    const TextFont* large = MenuFonts::get(MenuFonts::kLarge);
    const float titleHeight = large ? static_cast<float>(large->getLineHeight()) : 0.0f;
    viewer->bandTop = static_cast<float>(menu->cornerY) - titleHeight / 2.0f - kBandGap;
    float itemsTop = std::numeric_limits<float>::lowest();
    for (ChildIterator it(menu); !it.done; it.next())
        if (auto* item = dynamic_cast<MenuItem*>(static_cast<QorBase*>(it.current)))
            itemsTop = std::max(itemsTop, item->getHighestY());
    viewer->bandBottom = itemsTop + kBandGap;
}
