#include "ui/GUIthemeMinimal.h"

#include "engine/ErrorManager.h"
#include "ui/MenuFonts.h"

GUIthemeMinimal::GUIthemeMinimal() {
    metrics = {10, 1, 0};
    paddings = {3, 3, 3, 3};
    font = MenuFonts::get(MenuFonts::kTiny);
}

void GUIthemeMinimal::setStyle(StyledWidget& widget, int style) {
    if (style < 0 || style > 11) QOR_FATAL("GUIthemeMinimal::setStyle", u"Unhandled style");
    if (style == 0) return;
    rebuildFrame(widget, style == 1 ? u"gui-invisible" : u"gui-minimal-generic");
}
