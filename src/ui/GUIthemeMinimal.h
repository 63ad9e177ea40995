#pragma once
// The minimal theme: metrics 10, 1, 0, paddings 3, the tiny font, and one generic
// texture for every visible style.
#include "ui/GUItheme.h"

class GUIthemeMinimal : public GUItheme {
public:
    GUIthemeMinimal();
    void setStyle(StyledWidget& widget, int style) override;
};
