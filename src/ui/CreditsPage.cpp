#include "ui/CreditsPage.h"

#include "engine/Format.h"
#include "engine/Qor.h"
#include "engine/SystemHelpers.h"
#include "engine/VirtualScreen.h"
#include "render/QorGraphics.h"
#include "ui/ContextMenu.h"
#include "ui/ContextMenuBackground.h"
#include "ui/FadingText.h"
#include "ui/Global.h"
#include "ui/MenuFonts.h"

void openCreditsPage(ContextMenu* page) {
    page->bDeleteOnClose = 1;
    page->bCloseOnFireKey = 1;
    page->duration = 60.0;
    if (global) page->hookBefore = global->pMenuBackground;
    const float w = static_cast<float>(kVirtualScreenWidth);
    const float h = static_cast<float>(kVirtualScreenHeight);
    const std::u16string version = formatString(u"%s %dx", getVersionString(), qor->hq2x);
    auto* line =
        new FadingText(w / 2.0f - 4.0f, 2.0f - h / 2.0f, 0.0f, version, MenuFonts::get(MenuFonts::kSmall), 0xFFFFFFFFu);
    line->bShadow = 0;
    line->layoutFlags = 0x28;
    page->addChild(line);
}
