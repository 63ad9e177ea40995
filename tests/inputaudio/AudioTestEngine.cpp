#include "AudioTestEngine.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "engine/FileManager.h"
#include "engine/Logger.h"
#include "engine/Qor.h"
#include "engine/Strings.h"
#include "inputaudio/QorAudio.h"
#include "platform/AudioRecords.h"
#include "platform/AudioSystem.h"
#include "support/MixRecording.h"
#include "support/TestVideo.h"

namespace {
constexpr double kUpdateSeconds = 0.016;  // between the audio updates, as at 60 frames a second

// Folders of engines that are still alive. A death test's child ends through the fatal
// error's exit, past every destructor; its folder goes at exit instead.
std::vector<std::string>& liveFolders() {
    static std::vector<std::string> folders;
    return folders;
}

void removeLiveFolders() {
    for (const std::string& f : liveFolders()) std::filesystem::remove_all(f);
}
}  // namespace

bool AudioTestEngine::available() { return std::getenv("TORVANE_DISPLAY_TESTS") != nullptr; }

AudioTestEngine::AudioTestEngine(const char* audioDriver, const std::string& settings)
    : driver("SDL_AUDIODRIVER", audioDriver) {
    char pattern[] = "/tmp/torvane-audio-XXXXXX";
    folder = mkdtemp(pattern);
    // The list exists before the exit handler is registered, so it outlives the handler.
    liveFolders().push_back(folder);
    static const bool cleanupRegistered = std::atexit(&removeLiveFolders) == 0;
    (void)cleanupRegistered;
    setenv("XDG_DATA_HOME", folder.c_str(), 1);
    if (!settings.empty()) std::ofstream(wideToUtf8(Qor::getConfigFilePath())) << settings;
    // The audio layer outlives engines: the volumes a program run earlier in this process
    // chose would carry over into this engine's mix.
    for (int volume : {AudioConfig::kSampleVolume, AudioConfig::kStreamVolume, AudioConfig::kMusicVolume})
        QorAudio::library().setConfig(volume, AudioConfig::kFullVolume);
    TestVideo::start("offscreen");
    window.create("audio test", 0, 0, 100, 100);
    new Qor(nullptr, &window);
    // The tests' sounds are loose files, not archive entries.
    qor->pFileManager->bUseWad = 0;
    logPath = wideToUtf8(qor->pLogger->getPath());
}

AudioTestEngine::~AudioTestEngine() {
    shutDown();
    std::filesystem::remove_all(folder);
    std::erase(liveFolders(), folder);
}

void AudioTestEngine::shutDown() {
    if (!qor) return;
    delete qor;
    window.destroy();
    // SDL's video stays up until the process ends: shutting it down unloads the
    // system's OpenGL driver, whose own leftovers the leak checker then cannot name.
}

std::u16string AudioTestEngine::writeFile(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
    std::ofstream(path(name), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return utf8ToWide(path(name));
}

std::string AudioTestEngine::logText() const {
    std::ifstream file(logPath);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

void AudioTestEngine::playFor(double seconds) {
    playUntil([] { return false; }, seconds);
}

bool AudioTestEngine::playUntil(const std::function<bool()>& done, double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        qor->pQorAudio->update(100);
        std::this_thread::sleep_for(std::chrono::duration<double>(kUpdateSeconds));
    }
    return true;
}

std::vector<float> AudioTestEngine::mixFor(double seconds) {
    return MixRecording::record(seconds, kUpdateSeconds, [] { qor->pQorAudio->update(100); });
}
