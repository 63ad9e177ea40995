#include "platform/AudioDevice.h"

#include <algorithm>
#include <cstring>

namespace {
// About 20 ms a buffer: short enough that a sound starts with its event, long enough
// that a busy machine does not starve the output.
int bufferFramesFor(int rate) {
    int frames = 256;
    while (frames < rate / 50) frames *= 2;
    return frames;
}
}  // namespace

AudioDevice::~AudioDevice() { close(); }

bool AudioDevice::startDriver() { return SDL_InitSubSystem(SDL_INIT_AUDIO) == 0; }

void AudioDevice::stopDriver() { SDL_QuitSubSystem(SDL_INIT_AUDIO); }

int AudioDevice::outputCount() { return std::max(SDL_GetNumAudioDevices(0), 0); }

std::string AudioDevice::outputName(int index) {
    const char* name = SDL_GetAudioDeviceName(index, 0);
    return name ? name : "";
}

std::string AudioDevice::driverName() {
    const char* name = SDL_GetCurrentAudioDriver();
    return name ? name : "";
}

std::string AudioDevice::defaultOutputName() {
    char* name = nullptr;
    SDL_AudioSpec spec{};
    if (SDL_GetDefaultAudioInfo(&name, &spec, 0) != 0 || !name) return {};
    std::string result = name;
    SDL_free(name);
    return result;
}

bool AudioDevice::open(int index, int rate, RenderFunction render, void* context) {
    close();
    SDL_AudioSpec wanted{};
    wanted.freq = rate;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = 2;
    wanted.samples = static_cast<Uint16>(bufferFramesFor(rate));
    wanted.callback = &AudioDevice::callback;
    wanted.userdata = this;
    renderFunction = render;
    renderContext = context;
    SDL_AudioSpec obtained{};
    const std::string name = index >= 0 ? outputName(index) : std::string();
    if (index >= 0 && name.empty()) return false;
    // No changes allowed: SDL converts, so the mixer always writes stereo float at `rate`.
    device = SDL_OpenAudioDevice(index >= 0 ? name.c_str() : nullptr, 0, &wanted, &obtained, 0);
    if (device == 0) return false;
    outputRate = obtained.freq;
    frames = obtained.samples;
    loadAverage.store(0.0f, std::memory_order_relaxed);
    SDL_PauseAudioDevice(device, 0);
    return true;
}

void AudioDevice::close() {
    if (device == 0) return;
    SDL_CloseAudioDevice(device);
    device = 0;
}

void AudioDevice::setPaused(bool paused) {
    if (device) SDL_PauseAudioDevice(device, paused ? 1 : 0);
}

void SDLCALL AudioDevice::callback(void* self, Uint8* stream, int length) {
    auto& d = *static_cast<AudioDevice*>(self);
    const int count = length / static_cast<int>(2 * sizeof(float));
    const Uint64 start = SDL_GetPerformanceCounter();
    d.renderFunction(d.renderContext, reinterpret_cast<float*>(stream), count);
    const double busy =
        static_cast<double>(SDL_GetPerformanceCounter() - start) / static_cast<double>(SDL_GetPerformanceFrequency());
    // The buffer's own duration is the wall time this call had.
    const double share = busy * d.outputRate / std::max(count, 1);
    const float smoothing = std::min(1.0f, static_cast<float>(count) / static_cast<float>(std::max(d.outputRate, 1)));
    const float old = d.loadAverage.load(std::memory_order_relaxed);
    d.loadAverage.store(old + (static_cast<float>(share) - old) * smoothing, std::memory_order_relaxed);
}
