#pragma once
// The whole engine for the tests of the engine's audio classes: the offscreen video
// driver, the SDL audio driver a test names, and a data folder of its own (so settings
// and the log start fresh). Needs a display: build it only after skipping unless
// AudioTestEngine::available().
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Window.h"

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
    // Runs worked-frame audio updates for `seconds` of wall time.
    static void playFor(double seconds);

private:
    std::string folder;
    std::string logPath;
    Window window;
};
