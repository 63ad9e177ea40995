#pragma once
// The graphics options: the detail level, and the way to the advanced options (video
// mode and display switches). This screen applies nothing itself: a new detail level
// reaches the engine at the next settings application (leaving the sound or advanced
// options, for one).
#include "ui/ContextMenu.h"

class MenuButton;

class ContextGraphics : public ContextMenu {
public:
    ContextGraphics();

    void tickContents(double time, double dt) override;

    MenuButton* pAdvanced = nullptr;  // child: opens ContextAdvancedOptions
};
