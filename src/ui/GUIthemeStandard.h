#pragma once
// The standard theme: metrics 20, 3, 1, paddings 5, the small font, and one texture per
// style from "gui-invisible" (1) to the selected tab (11).
#include "ui/GUItheme.h"

class GUIthemeStandard : public GUItheme {
public:
    GUIthemeStandard();
    void setStyle(StyledWidget& widget, int style) override;
};
