#include "ui/ContextNetworkWizard2.h"

#include "engine/ClassInfo.h"
#include "language/StringIds.h"
#include "ui/ContextMenuBackground.h"
#include "ui/CountrySelector.h"
#include "ui/FadingText.h"
#include "ui/Global.h"
#include "ui/MenuButton.h"
#include "ui/MenuFonts.h"
#include "ui/MenuItemBack.h"
#include "ui/RequestLines.h"

QOR_DEFINE_CLASS(ContextNetworkWizard2, ContextMenu, (&makeInstance<ContextNetworkWizard2, BasicLink>))

ClassInfo* ContextNetworkWizard2::getClass() const { return &classInfo; }

namespace {
std::u16string text(int id) { return RequestLines::text(id); }
}  // namespace

ContextNetworkWizard2::ContextNetworkWizard2() {
    bDeleteOnClose = 1;
    if (global) hookBefore = global->pMenuBackground;
    auto* title = new FadingText(0.0f, static_cast<float>(cornerY), 0.0f, text(StringId::NETCONFIGTITLE),
                                 MenuFonts::get(MenuFonts::kLarge), 0xFFFFFFFFu);
    title->layoutFlags |= 0x10;
    addChild(title);
    pCountry =
        new CountrySelector(128.0f, -50.0f, 0.0f, text(StringId::SELECTYOURCOUNTRY),
                            text(StringId::SELECTYOURCOUNTRYHINT), global ? &global->configuration.country : nullptr);
    addItem(pCountry);
    const auto y = static_cast<float>(-cornerY);
    auto* cancel = new MenuItemBack(80.0f - static_cast<float>(cornerX), y, 0.0f, text(StringId::CANCEL), u"");
    cancel->setWidth(160.0f);
    addItem(cancel);
    pNext = new MenuButton(static_cast<float>(cornerX) - 80.0f, y, 0.0f, text(StringId::NEXT), u"");
    pNext->setWidth(160.0f);
    addItem(pNext);
}

void ContextNetworkWizard2::tickContents(double time, double dt) {
    ContextMenu::tickContents(time, dt);
    pCountry->takeTrigger();
    if (!pNext->takeTrigger()) return;
    if (global) global->configuration.bNetworkWizardDone = 1;
    bFinished = 1;
}
