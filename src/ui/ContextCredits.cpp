#include "ui/ContextCredits.h"

#include "engine/ClassInfo.h"
#include "engine/Format.h"
#include "engine/Qor.h"
#include "engine/SystemHelpers.h"
#include "engine/VirtualScreen.h"
#include "ui/ContextMenuBackground.h"
#include "ui/FadingText.h"
#include "ui/Global.h"
#include "ui/MenuFonts.h"
#include "ui/TextPage.h"

QOR_DEFINE_CLASS(ContextCredits, ContextMenu, (&makeInstance<ContextCredits, BasicLink>))

ClassInfo* ContextCredits::getClass() const { return &classInfo; }

ContextCredits::ContextCredits() { openCreditsPage(); }

void ContextCredits::openCreditsPage() {
    bDeleteOnClose = 1;
    bCloseOnFireKey = 1;
    duration = kShowTime;
    if (global) hookBefore = global->pMenuBackground;
    const auto w = static_cast<float>(kVirtualScreenWidth);
    const auto h = static_cast<float>(kVirtualScreenHeight);
    const std::u16string version = formatString(u"%s %dx", getVersionString(), qor->hq2x);
    // Bottom-right corner: right-aligned and raised by its own height.
    auto* line =
        new FadingText(w / 2.0f - 4.0f, 2.0f - h / 2.0f, 0.0f, version, MenuFonts::get(MenuFonts::kSmall), 0xFFFFFFFFu);
    line->bShadow = 0;
    line->layoutFlags = 0x28;
    addChild(line);
    pTextPage = new TextPage();
    fillCreditsPage(pTextPage);
    addChild(pTextPage);
}
