#pragma once
// The title menu: the screen the program always comes back to. The logo, the player's
// greeting, Start Game, High Scores, Options and Credits, the web site link and Quit.
// Escape asks "Are you sure?" before closing it, and closing it ends the program.
// Control+Alt+X stops the program on purpose, to exercise the crash report.
//
// Only the game's ContextMainGame is created; this base supplies the layout and leaves
// what Start Game does to onStartGame.
#include "ui/ContextMenu.h"

class MenuButton;

class ContextMain : public ContextMenu {
public:
    ContextMain();
    ClassInfo* getClass() const override;

    void onActivate(bool first) override;
    void onDeactivate(bool closing) override;
    void tickContents(double time, double dt) override;
    virtual void onStartGame();

    MenuButton* startGameItem = nullptr;  // children
    MenuButton* highScoresItem = nullptr;
    MenuButton* optionsItem = nullptr;
    MenuButton* creditsItem = nullptr;

    // The path of the page the Website item opens on the web service.
    static constexpr const char16_t* kWebsitePath = u"/";

private:
};
