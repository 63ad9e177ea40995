#pragma once
// The menu that stands over a running game: "Resume game" (or Escape) closes it, "End
// game" after a Yes closes it and the game together (no rating, no results: the saved
// block keeps the last autosave), and "Mute audio" silences everything at once. It draws
// the game's last frame beneath it, dimmed, so the battlefield stays in sight; the game
// itself is not ticked while this screen is on top.
//
// Registered as the class "ContextPaused": the game controller opens it through the
// class registry. Deleted by the screen stack when it closes. Main thread only.
#include "ui/ContextMenu.h"

class MenuButton;
class MenuItemCheckboxApply;

class ContextPaused : public ContextMenu {
public:
    static constexpr UColor kDimColour = 0x80000000u;  // black at half opacity
    static constexpr float kPanelSize = 384.0f;
    static constexpr float kMuteX = -103.0f;

    ContextPaused();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // The menu's tick; then "End game" ends this screen and the current game.
    void tickContents(double time, double dt) override;
    // The screen beneath (the game), the dimming, then the menu.
    void renderContents() override;
    // The game's, which shows through.
    void addBoxesToKeepClear(std::vector<ViewRect>& boxes) const override;

    MenuButton* pEndGame = nullptr;          // child of the screen
    MenuItemCheckboxApply* pMute = nullptr;  // child of the screen; bound to bMuteAudio
};
