#include "ui/ContextNetworkWizard2.h"

#include "engine/ClassInfo.h"
#include "language/StringIds.h"
#include "ui/ContextMenuBackground.h"
#include "ui/CountrySelector.h"
#include "ui/Global.h"
#include "ui/MenuButton.h"
#include "ui/RequestLines.h"
#include "ui/ScreenFrame.h"

QOR_DEFINE_CLASS(ContextNetworkWizard2, ContextMenu, (&makeInstance<ContextNetworkWizard2, BasicLink>))

ClassInfo* ContextNetworkWizard2::getClass() const { return &classInfo; }

namespace {
std::u16string text(int id) { return RequestLines::text(id); }
}  // namespace

ContextNetworkWizard2::ContextNetworkWizard2() {
    bDeleteOnClose = 1;
    if (global) hookBefore = global->pMenuBackground;
    ScreenFrame::addTitle(this, text(StringId::NETCONFIGTITLE));
    pCountry =
        new CountrySelector(128.0f, -50.0f, 0.0f, text(StringId::SELECTYOURCOUNTRY),
                            text(StringId::SELECTYOURCOUNTRYHINT), global ? &global->configuration.country : nullptr);
    addItem(pCountry);
    ScreenFrame::addBack(this, text(StringId::CANCEL));
    pNext = ScreenFrame::addNext(this, text(StringId::NEXT));
}

void ContextNetworkWizard2::tickContents(double time, double dt) {
    ContextMenu::tickContents(time, dt);
    pCountry->takeTrigger();
    if (!pNext->takeTrigger()) return;
    if (global) global->configuration.bNetworkWizardDone = 1;
    bFinished = 1;
}
