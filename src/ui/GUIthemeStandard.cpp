#include "ui/GUIthemeStandard.h"

#include "engine/ErrorManager.h"
#include "ui/MenuFonts.h"

GUIthemeStandard::GUIthemeStandard() {
    metrics = {20, 3, 1};
    paddings = {5, 5, 5, 5};
    font = MenuFonts::get(MenuFonts::kSmall);
}

void GUIthemeStandard::setStyle(StyledWidget& widget, int style) {
    static constexpr const char16_t* kTextures[] = {nullptr,
                                                    u"gui-invisible",
                                                    u"gui-standard-generic",
                                                    u"gui-standard-thickframe",
                                                    u"gui-standard-thinframe",
                                                    u"gui-standard-groove",
                                                    u"gui-standard-panel-bevelinner",
                                                    u"gui-standard-editbox",
                                                    u"gui-standard-button",
                                                    u"gui-standard-button-nogroove",
                                                    u"gui-standard-tab",
                                                    u"gui-standard-tab-selected"};
    if (style < 0 || style > 11) QOR_FATAL("GUIthemeStandard::setStyle", u"Unhandled style");
    if (style == 0) return;
    if (style == 10 || style == 11) widget.margins = {10, 5, 5, 10};
    rebuildFrame(widget, kTextures[style]);
    if (style == 3) metrics[2] = 2;
}
