#pragma once
// The whole engine for the tests of the engine's audio classes: the offscreen video
// driver, the SDL audio driver a test names (while the engine lasts), and a data folder
// of its own (so settings and the log start fresh). Needs a display: build it only after
// skipping unless AudioTestEngine::available().
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Window.h"
#include "support/ScopedVariable.h"

class AudioTestEngine {
public:
    static bool available();

    // `settings`: INI text for the per-machine settings file, written before the start.
    explicit AudioTestEngine(const char* audioDriver, const std::string& settings = "");
    ~AudioTestEngine();
    AudioTestEngine(const AudioTestEngine&) = delete;
    AudioTestEngine& operator=(const AudioTestEngine&) = delete;

    // Ends the engine now (the destructor does nothing more then).
    void shutDown();
    // Writes `bytes` into the test's folder; returns the file's path.
    std::u16string writeFile(const std::string& name, const std::vector<std::uint8_t>& bytes) const;
    std::string path(const std::string& name) const { return folder + "/" + name; }
    // The log so far.
    std::string logText() const;
    // Runs worked-frame audio updates for `seconds` of wall time, the output playing.
    static void playFor(double seconds);
    // Runs them until `done` holds, for at most `seconds` of wall time: a bound on a hang,
    // far beyond what the slowest machine needs. False when `done` never held.
    static bool playUntil(const std::function<bool()>& done, double seconds = 60.0);
    // Holds the output and takes the next `seconds` of the mix itself, an update before
    // each frame's worth: the same mix however fast the machine runs. Returns it.
    static std::vector<float> mixFor(double seconds);

private:
    ScopedVariable driver;  // SDL_AUDIODRIVER, the process's own again once the engine has gone
    std::string folder;
    std::string logPath;
    Window window;
};
