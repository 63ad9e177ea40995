#pragma once
// The options menu that the title menu's Options item opens: the gameplay, controls,
// graphics and sound settings, the network wizard, the language change and help.
//
// The language change asks for no confirmation: it makes the next start ask for the
// language and restarts the program at once (the user files and settings are saved by
// the restart's teardown). The network wizard and help are screens of their own, made
// through the class registry by name; until they are there, each item opens a titled
// stand-in.
#include "ui/ContextMenu.h"

class ContextDialog;
class MenuButton;

class ContextOptions : public ContextMenu {
public:
    static constexpr const char16_t* kNetworkWizardClass = u"ContextNetworkWizard1";
    static constexpr const char16_t* kHelpClass = u"ContextHelp";

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
