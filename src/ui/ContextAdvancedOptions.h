#pragma once
// The advanced graphics options: the video mode (one of the graphics service's modes),
// the frame-rate limit and the display switches (full screen, letterbox, vertical sync,
// bilinear filter, frame-rate display), bound to the configuration record; the mode is
// the screen's own choice. Letterbox can be switched only in full screen.
//
// Closing the screen always applies the shown mode and switches (the graphics service
// restarts its device only when something differs); being covered applies nothing.
// With no video mode listed, closing keeps the current mode.
#include <cstdint>
#include <string>
#include <vector>

#include "ui/ContextMenu.h"

class MenuItemCheckbox;

class ContextAdvancedOptions : public ContextMenu {
public:
    static constexpr std::int32_t kMinFps = 25;
    static constexpr std::int32_t kMaxFps = 125;
    static constexpr std::int32_t kFpsStep = 5;

    ContextAdvancedOptions();

    void tickContents(double time, double dt) override;
    void onDeactivate(bool closing) override;

    std::vector<std::u16string> modeNames;    // the graphics service's modes, in its order
    std::int32_t selectedMode = 0;            // index into modeNames
    MenuItemCheckbox* pFullScreen = nullptr;  // child
    MenuItemCheckbox* pLetterbox = nullptr;   // child

private:
    void listModes();
};
