#pragma once
// The application object: one per engine lifetime, reached through `global`. It owns
// the screen stack and the user's data, and is destroyed right before the engine.
#include <cstdint>
#include <string>

#include "ui/GameConfiguration.h"
#include "ui/ProfileManager.h"

class ContextManager;

class Global {
public:
    // Loads the configuration record, then the profiles.
    Global() = default;
    // Saves the user's files and deletes what the application owns.
    virtual ~Global();
    Global(const Global&) = delete;
    Global& operator=(const Global&) = delete;

    // The first start-up stage: checks the class registry, mounts the data archive and
    // builds the screen stack.
    void initPreLoader();
    void saveUserData();

    GameConfiguration configuration;
    ProfileManager profiles;
    ContextManager* pContextManager = nullptr;  // the screen stack, owned
    std::u16string pendingUrl;                  // opened after the program has closed
    std::int32_t lastHighScorePlace = -1;       // row of the last finished game, -1 none
};

// The one application object, or null.
extern Global* global;
