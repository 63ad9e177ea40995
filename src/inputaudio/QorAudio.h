#pragma once
// The engine's audio device. Built by the engine object after graphics (it reads its
// own settings section, "QorAudio"), it opens the first output that works through the
// audio layer (AudioSystem), or the silent device when audio is switched off or no
// output opens; it pauses and resumes all output with the engine's modes, keeps the
// current music, and closes the layer when the engine shuts down.
//
// Samples and streams (Sound, SoundStream) are resources of their own; they ask the
// device only whether audio is muted. Main thread only.
#include <cstdint>
#include <string>

class AudioSystem;
class ClassInfo;
class SoundStream;

class QorAudio {
public:
    QorAudio();
    virtual ClassInfo* getClass() const;
    // Writes `frequency` back into the settings (and saves them when it changed since
    // the start), then closes the audio layer.
    virtual ~QorAudio();
    virtual void onQORmodeChange(int oldMode, int newMode);
    QorAudio(const QorAudio&) = delete;
    QorAudio& operator=(const QorAudio&) = delete;
    static ClassInfo classInfo;

    // The symbolic name of an audio layer error code; a code outside the table gives
    // "Unknown BASS error: %08x" (a text, never a fatal error).
    static std::u16string getBASSErrorString(int code);
    // Writes the output's capabilities to the log.
    void logInfo();
    // Makes `stream` (may be null) the current music: the old one stops, the new one
    // plays from its start unless it already plays.
    void setMusic(SoundStream* stream);
    // Lets the layer refill its streams; once per worked frame.
    void update(std::uint32_t milliseconds);
    // Percent of wall time the mixer takes, for the statistics overlay.
    double getCPU() const;

    // The layer everything audio plays through.
    static AudioSystem& library();

    // Reports a failed call of the audio layer: the assertion form, with the name of
    // the layer's last error as the message and `statement` as the failed call. With a
    // `source` (FileManager::describe of the sound's file) the message says which file
    // failed to load and that it is damaged. Does not return.
    [[noreturn]] static void reportCallFailure(const char* method, const char* file, int line, const char* statement,
                                               const std::u16string& source = {});

    std::int32_t frequency = 0;    // Hz, the output rate; written back to the settings at the end
    bool muted = false;            // audio is off: nothing is loaded, the silent device runs
    SoundStream* music = nullptr;  // the current music, not owned; null at start

private:
    void readSettings(int& channels);
    int listDevices();
    void openOutput(int deviceCount);

    std::int32_t startFrequency = 0;  // Hz, the rate the settings held at start
};
