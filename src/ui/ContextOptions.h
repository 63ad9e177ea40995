#pragma once
// The options menu that the title menu's Options item opens: the gameplay, controls,
// graphics and sound settings, the network wizard, the language change and help.
//
// The language change asks for no confirmation: it makes the next start ask for the
// language and restarts the program at once (the user files and settings are saved by
// the restart's teardown).
#include "ui/ContextMenu.h"

class ContextDialog;
class MenuButton;

class ContextOptions : public ContextMenu {
public:
    ContextOptions();

    void tickContents(double time, double dt) override;
    // Asks for the language selection at the next start and restarts the program.
    static void restartToChooseLanguage();

    MenuButton* pGameplay = nullptr;  // children
    MenuButton* pControls = nullptr;
    MenuButton* pGraphics = nullptr;
    MenuButton* pSound = nullptr;
    MenuButton* pNetworkWizard = nullptr;
    MenuButton* pLanguage = nullptr;
    MenuButton* pHelp = nullptr;
};

// The gameplay options (in-game help, cheats) as a new screen for the caller to push.
ContextDialog* openGameplayOptions();
