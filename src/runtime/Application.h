#pragma once
// What the window shell runs above the engine. The program's entry hands the shell a
// factory; the shell calls it right after it has built the engine object and deletes
// the application right before the engine object. Main thread only.
#include <string>

class Context;

class Application {
public:
    virtual ~Application() = default;

    // The scene that each frame ticks and draws.
    virtual Context* scene() = 0;
    // True once the application asks for the program to end.
    virtual bool quitRequested() const = 0;
    // A web page or document to open once the program has closed; empty for none.
    virtual std::u16string pageToOpen() const = 0;
};

// Builds the application and runs its first start-up stage.
using ApplicationFactory = Application* (*)();
