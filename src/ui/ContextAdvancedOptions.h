#pragma once
// The advanced graphics options: the video mode (one of the graphics service's modes),
// the frame-rate limit and the display switches (full screen, letterbox, vertical sync,
// bilinear filter, frame-rate display), bound to the configuration record; the mode is
// the screen's own choice. Letterbox can be switched only in full screen.
//
// The list also offers the size in use where the service's modes lack it (a window of a
// size the screen has no mode for), at its place by size, so that the screen opens on
// it. Closing the screen always applies the shown mode and switches (the graphics service
// restarts its device only when something differs), so leaving without choosing another
// mode keeps the size in use; being covered applies nothing.
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

    // A video mode's size, pixels.
    struct ModeSize {
        int width;
        int height;
    };

    std::vector<std::u16string> modeNames;    // the modes offered, ascending as the service lists them
    std::vector<ModeSize> modeSizes;          // the size of each of modeNames
    std::int32_t selectedMode = 0;            // index into modeNames
    MenuItemCheckbox* pFullScreen = nullptr;  // child
    MenuItemCheckbox* pLetterbox = nullptr;   // child

private:
    void listModes();
    void offer(int width, int height);
};
