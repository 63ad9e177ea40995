#pragma once
// The application object: one per engine lifetime, reached through `global`. It owns
// the screen stack and the user's data, and is destroyed right before the engine.
#include <string>

class ContextManager;

class Global {
public:
    Global() = default;
    // Saves the user's files and deletes what the application owns.
    virtual ~Global();
    Global(const Global&) = delete;
    Global& operator=(const Global&) = delete;

    // The first start-up stage: checks the class registry, mounts the data archive and
    // builds the screen stack.
    void initPreLoader();
    void saveUserData();

    ContextManager* pContextManager = nullptr;  // the screen stack, owned
    std::u16string pendingWebAddress;           // opened after the program has closed
};

// The one application object, or null.
extern Global* global;
