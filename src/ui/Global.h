#pragma once
// The application object: the game's user data (configuration record and profiles), the
// screen stack, the GUI themes, the five fonts, the menu background and the running
// game, and the application's side of start-up and shutdown.
//
// Lifetime: created by the program shell right after the engine object, deleted right
// before it; reached everywhere through `global`. Its constructor loads the user files
// and touches no graphics; the two start-up stages build everything else. Abstract: the
// game's GameGlobal supplies the start screens. Main thread only.
#include <cstdint>
#include <string>

#include "runtime/Application.h"
#include "ui/GameConfiguration.h"
#include "ui/ProfileManager.h"

class Context;
class ContextManager;
class ContextMenuBackground;
class FontQuad;
class GUIthemeMinimal;
class GUIthemeStandard;
class QorBase;

class Global : public Application {
public:
    enum FontIndex { kFontTiny = 0, kFontSmall, kFontMedium, kFontLarge, kFontHUD, kFontCount };

    // Loads the configuration record, then the profiles.
    Global() = default;
    // Deletes the owned objects (the screens still stacked with the stack), then saves
    // the profiles and the configuration record through their own destruction.
    virtual ~Global();
    Global(const Global&) = delete;
    Global& operator=(const Global&) = delete;

    // The first start-up stage: checks the class registry, mounts the data archive,
    // loads the loading screen's own textures, builds the screen stack and pushes the
    // loading screen.
    void initPreLoader();
    // The second stage, run by the loading screen's last step: themes, menu background,
    // the start screens, the logo screen and, after a crash, the crash report screen.
    void initPostLoader();
    // The screen stack; the program ends once it asks to quit; pendingUrl.
    Context* scene() override;
    bool quitRequested() const override;
    std::u16string pageToOpen() const override { return pendingUrl; }

    // Pushes the game's first screens below the logo screen.
    virtual void createStartScreens() = 0;
    // Hands the configuration record to the frame pacer, the audio output and the
    // graphics; `width` and `height` a display mode to switch to, or -1, -1.
    void applySettings(int width, int height);
    // Writes the profiles, the configuration record and the engine's settings now.
    void saveUserData();

    GameConfiguration configuration;
    ProfileManager profiles;
    FontQuad* fonts[kFontCount] = {};                  // registered resources, not owned
    ContextManager* pContextManager = nullptr;         // the screen stack, owned
    ContextMenuBackground* pMenuBackground = nullptr;  // owned; every menu's background hook
    Context* pMenuForeground = nullptr;                // owned; the main menu's foreground hook
    GUIthemeStandard* pThemeStandard = nullptr;        // owned
    GUIthemeMinimal* pThemeMinimal = nullptr;          // owned
    QorBase* resourceRoot = nullptr;                   // owned; parent of every loaded resource
    std::u16string pendingUrl;                         // opened after the program has closed
    std::int32_t lastHighScorePlace = -1;              // row of the last finished game, -1 none
};

// The one application object, or null; the application object sets and clears it.
extern Global* global;

// The digits of `value` with the language's thousands separator between groups of three.
std::u16string formatWithThousandsSeparator(std::int32_t value);
// `fraction` as a percentage with three decimals: 0.5 gives "50.000%".
std::u16string formatPercent(float fraction);
// An opaque colour with one or two full channels; never white.
std::uint32_t randomBrightColour();
// The data archive's file name: the product name and ".dat".
std::u16string getArchiveFileName();
// The program's folder, ending in "/".
std::u16string getApplicationBaseFolder();
// The data archive beside the program; also the stem of the language and font archives.
std::u16string getArchivePath();
