#pragma once
// The sound card side of the audio layer: SDL's audio output, opened as interleaved
// stereo float at the rate asked for (SDL converts when the hardware wants another
// format). The output callback runs on SDL's audio thread and calls the render
// function given to open(), which must be safe to call from there.
//
// Outputs are numbered as SDL lists them, from 0; -1 opens the system's default.
// The driver (SDL's audio subsystem) is started by startDriver and stopped by as many
// stopDriver calls; the device must be closed before the last one.
#include <SDL.h>

#include <atomic>
#include <string>

class AudioDevice {
public:
    using RenderFunction = void (*)(void* context, float* out, int frames);

    AudioDevice() = default;
    ~AudioDevice();
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;

    // False when no audio driver can be started (no sound system at all).
    static bool startDriver();
    static void stopDriver();
    static int outputCount();
    static std::string outputName(int index);
    static std::string driverName();         // empty when no driver runs
    static std::string defaultOutputName();  // empty when the system does not say

    // Opens output `index` (-1 the default) at `rate` Hz, running and unpaused.
    bool open(int index, int rate, RenderFunction render, void* context);
    void close();
    bool isOpen() const { return device != 0; }
    void setPaused(bool paused);

    int rate() const { return outputRate; }
    int bufferFrames() const { return frames; }
    // The share of wall time the render function took, 0..1, smoothed over about a second.
    float load() const { return loadAverage.load(std::memory_order_relaxed); }

private:
    static void SDLCALL callback(void* self, Uint8* stream, int length);

    SDL_AudioDeviceID device = 0;
    RenderFunction renderFunction = nullptr;
    void* renderContext = nullptr;
    int outputRate = 0;
    int frames = 0;
    std::atomic<float> loadAverage{0.0f};
};
