#include "platform/AudioSystem.h"

#include <algorithm>
#include <cmath>

#include "platform/AudioError.h"
#include "platform/VorbisDecoder.h"

namespace {
constexpr int kMaxPlaybacks = 65535;
constexpr int kSilentRate = 44100;  // the silent device's time base when none is asked for
constexpr char kSilentDeviceName[] = "No output";

std::uint32_t kindOf(AudioHandle handle) { return AudioSlotPool<AudioVoice>::kindOf(handle); }
}  // namespace

AudioSystem::AudioSystem() = default;

AudioSystem::~AudioSystem() {
    if (initialised) free();
    stopDriver();
}

AudioSystem& AudioSystem::shared() {
    static AudioSystem system;
    return system;
}

bool AudioSystem::fail(int code) const {
    lastError = code;
    return false;
}

bool AudioSystem::succeed() const {
    lastError = AudioError::kOk;
    return true;
}

void AudioSystem::renderCallback(void* self, float* out, int frames) {
    static_cast<AudioSystem*>(self)->render(out, frames);
}

void AudioSystem::render(float* out, int frames) {
    std::lock_guard guard(lock);
    if (!mixer) {
        std::fill_n(out, static_cast<std::size_t>(std::max(frames, 0)) * 2, 0.0f);
        return;
    }
    mixer->mix(voices, std::span<float>(out, static_cast<std::size_t>(std::max(frames, 0)) * 2));
}

// ---- configuration and devices ----

bool AudioSystem::setConfig(int option, int value) {
    const int volume = std::clamp(value, 0, AudioConfig::kFullVolume);
    switch (option) {
        case AudioConfig::kSampleVolume:
            sampleVolume = volume;
            break;
        case AudioConfig::kStreamVolume:
            streamVolume = volume;
            break;
        case AudioConfig::kMusicVolume:
            musicVolume = volume;
            break;
        case AudioConfig::kDefaultFollows:
            defaultFollows = value;
            break;
        case AudioConfig::kUtf8Names:
            utf8Names = value;
            break;
        default:
            return fail(AudioError::kIllegalType);
    }
    std::lock_guard guard(lock);
    applyVolumes();
    return succeed();
}

int AudioSystem::getConfig(int option) const {
    switch (option) {
        case AudioConfig::kSampleVolume:
            return sampleVolume;
        case AudioConfig::kStreamVolume:
            return streamVolume;
        case AudioConfig::kMusicVolume:
            return musicVolume;
        case AudioConfig::kDefaultFollows:
            return defaultFollows;
        case AudioConfig::kUtf8Names:
            return utf8Names;
        default:
            fail(AudioError::kIllegalType);
            return -1;
    }
}

void AudioSystem::applyVolumes() {
    if (!mixer) return;
    mixer->setGroupVolume(AudioVoice::Group::kSample, static_cast<float>(sampleVolume) / AudioConfig::kFullVolume);
    mixer->setGroupVolume(AudioVoice::Group::kStream, static_cast<float>(streamVolume) / AudioConfig::kFullVolume);
}

bool AudioSystem::ensureDriver() {
    if (!driverStarted) driverStarted = AudioDevice::startDriver();
    return driverStarted;
}

void AudioSystem::stopDriver() {
    if (!driverStarted) return;
    AudioDevice::stopDriver();
    driverStarted = false;
}

bool AudioSystem::getDeviceInfo(int device, AudioDeviceInfo& info) {
    if (device == 0) {
        info = AudioDeviceInfo{kSilentDeviceName, "", AudioDeviceFlag::kEnabled};
        if (initialised && initDevice == 0) info.flags |= AudioDeviceFlag::kInit;
        return succeed();
    }
    if (device < 0 || !ensureDriver() || device > AudioDevice::outputCount()) return fail(AudioError::kDevice);
    info = AudioDeviceInfo{AudioDevice::outputName(device - 1), AudioDevice::driverName(), AudioDeviceFlag::kEnabled};
    const std::string defaultName = AudioDevice::defaultOutputName();
    const bool isDefault = !defaultName.empty() && defaultName == info.name;
    if (isDefault) info.flags |= AudioDeviceFlag::kDefault;
    if (initialised && (initDevice == device || (initDevice == -1 && isDefault))) info.flags |= AudioDeviceFlag::kInit;
    return succeed();
}

bool AudioSystem::init(int device, int frequency, std::uint32_t flags) {
    if (initialised) return fail(AudioError::kAlready);
    if (device < -1) return fail(AudioError::kDevice);
    int rate = frequency > 0 ? std::clamp(frequency, kMinOutputRate, kMaxOutputRate) : kSilentRate;
    if (device != 0) {
        if (!ensureDriver()) return fail(AudioError::kDriver);
        if (device > AudioDevice::outputCount()) return fail(AudioError::kDevice);
        // The mixer exists before the output opens: the callback may run at once.
        mixer = std::make_unique<AudioMixer>(rate);
        applyVolumes();
        if (!output.open(device - 1, rate, &AudioSystem::renderCallback, this)) {
            mixer.reset();
            return fail(AudioError::kDriver);
        }
    } else {
        mixer = std::make_unique<AudioMixer>(rate);
        applyVolumes();
    }
    initialised = true;
    initDevice = device;
    initFlags = flags;
    return succeed();
}

bool AudioSystem::free() {
    if (!initialised) return fail(AudioError::kInit);
    // The callback ends with the output; nothing below races with it any more.
    output.close();
    std::vector<AudioHandle> all;
    samples.forEach([&](AudioHandle h, AudioSample&) { all.push_back(h); });
    for (AudioHandle h : all) sampleFree(h);
    all.clear();
    streams.forEach([&](AudioHandle h, AudioStream&) { all.push_back(h); });
    for (AudioHandle h : all) streamFree(h);
    {
        std::lock_guard guard(lock);
        voices.clear();
        mixer.reset();
    }
    initialised = false;
    stopDriver();
    return succeed();
}

bool AudioSystem::getInfo(AudioInfo& info) const {
    if (!initialised) return fail(AudioError::kInit);
    info = AudioInfo{};
    info.flags = AudioCaps::kContinuousRate | AudioCaps::kEmulatedDriver | AudioCaps::kSecondaryMono |
                 AudioCaps::kSecondaryStereo | AudioCaps::kSecondary16Bit;
    info.freq = static_cast<std::uint32_t>(mixer->outputRate());
    info.minrate = 1;
    info.maxrate = static_cast<std::uint32_t>(mixer->outputRate() * AudioMixer::kMaxRatio);
    if (output.isOpen()) {
        info.minbuf = static_cast<std::uint32_t>(output.bufferFrames() * 1000 / std::max(output.rate(), 1));
        // One buffer queued behind the one playing.
        info.latency = 2 * info.minbuf;
    }
    info.initflags = initFlags;
    info.speakers = 2;
    return succeed();
}

bool AudioSystem::pause() {
    if (!initialised) return fail(AudioError::kInit);
    output.setPaused(true);
    return succeed();
}

bool AudioSystem::start() {
    if (!initialised) return fail(AudioError::kInit);
    output.setPaused(false);
    return succeed();
}

bool AudioSystem::stop() {
    if (!initialised) return fail(AudioError::kInit);
    {
        std::lock_guard guard(lock);
        for (AudioVoice* voice : voices) voice->stop();
    }
    output.setPaused(true);
    return succeed();
}

float AudioSystem::getCPU() const { return initialised ? output.load() * 100.0f : 0.0f; }

bool AudioSystem::update(int milliseconds) {
    if (!initialised) return fail(AudioError::kInit);
    {
        std::lock_guard guard(lock);
        releaseFinishedChannels();
    }
    const double lead = std::max(kStreamLeadSeconds, 2.0 * std::max(milliseconds, 0) / 1000.0);
    std::vector<AudioStream*> playing;
    {
        std::lock_guard guard(lock);
        streams.forEach([&](AudioHandle, AudioStream& stream) {
            if (stream.voice.playing) playing.push_back(&stream);
        });
    }
    // Only this thread frees streams, so the pointers hold while the lock is let go.
    for (AudioStream* stream : playing) refillStream(*stream, stream->framesFor(lead));
    return succeed();
}

// ---- samples ----

AudioHandle AudioSystem::sampleLoad(const void* data, std::size_t size, int maxPlaybacks, std::uint32_t flags) {
    if (!initialised) return fail(AudioError::kInit), 0;
    if (maxPlaybacks < 1 || maxPlaybacks > kMaxPlaybacks) return fail(AudioError::kIllegalParam), 0;
    auto sample = std::make_unique<AudioSample>();
    {
        VorbisDecoder decoder;
        if (const int e = decoder.open(static_cast<const std::uint8_t*>(data), size)) return fail(e), 0;
        const auto most = static_cast<std::uint64_t>(decoder.rate()) * kMaxSampleSeconds;
        if (const int e = decoder.decodeAll(sample->frames, most)) return fail(e), 0;
        sample->channels = decoder.channels();
        sample->rate = decoder.rate();
    }
    if (sample->frames.empty()) return fail(AudioError::kEmpty), 0;
    sample->maxPlaybacks = maxPlaybacks;
    sample->flags = flags;
    std::lock_guard guard(lock);
    const AudioHandle handle = samples.add(std::move(sample));
    if (!handle) return fail(AudioError::kMemory), 0;
    succeed();
    return handle;
}

bool AudioSystem::sampleGetInfo(AudioHandle handle, AudioSampleInfo& info) const {
    if (!initialised) return fail(AudioError::kInit);
    const AudioSample* sample = samples.find(handle);
    if (!sample) return fail(AudioError::kHandle);
    info.freq = static_cast<std::uint32_t>(sample->rate);
    info.length = sample->byteLength();
    info.channels = static_cast<std::uint32_t>(sample->channels);
    info.maxPlaybacks = static_cast<std::uint32_t>(sample->maxPlaybacks);
    info.flags = sample->flags;
    return succeed();
}

bool AudioSystem::sampleFree(AudioHandle handle) {
    if (!initialised) return fail(AudioError::kInit);
    std::unique_ptr<AudioSample> sample;
    std::vector<std::unique_ptr<AudioVoice>> ended;
    {
        std::lock_guard guard(lock);
        if (!samples.find(handle)) return fail(AudioError::kHandle);
        sample = samples.remove(handle);
        for (AudioHandle channel : sample->channelHandles) ended.push_back(channels.remove(channel));
        rebuildVoiceList();
    }
    // The frames are freed here, after the mixer has let go of them.
    return succeed();
}

int AudioSystem::sampleGetChannels(AudioHandle handle, std::vector<AudioHandle>* list) {
    if (!initialised) return fail(AudioError::kInit), -1;
    std::lock_guard guard(lock);
    releaseFinishedChannels();
    const AudioSample* sample = samples.find(handle);
    if (!sample) return fail(AudioError::kHandle), -1;
    if (list) *list = sample->channelHandles;
    succeed();
    return static_cast<int>(sample->channelHandles.size());
}

AudioHandle AudioSystem::sampleGetChannel(AudioHandle handle, bool onlyNew) {
    if (!initialised) return fail(AudioError::kInit), 0;
    std::lock_guard guard(lock);
    releaseFinishedChannels();
    AudioSample* sample = samples.find(handle);
    if (!sample) return fail(AudioError::kHandle), 0;
    if (static_cast<int>(sample->channelHandles.size()) >= sample->maxPlaybacks) {
        if (!takeOverChannel(*sample, onlyNew)) return fail(AudioError::kNoChannel), 0;
    }
    auto voice = std::make_unique<AudioVoice>();
    voice->group = AudioVoice::Group::kSample;
    voice->frames = sample->frames.data();
    voice->frameCount = sample->frameCount();
    voice->channels = sample->channels;
    voice->loop = (sample->flags & AudioFlag::kSampleLoop) != 0;
    voice->ownRate = static_cast<float>(sample->rate);
    voice->owner = handle;
    const AudioHandle channel = channels.add(std::move(voice));
    if (!channel) return fail(AudioError::kMemory), 0;
    sample->channelHandles.push_back(channel);
    rebuildVoiceList();
    succeed();
    return channel;
}

AudioHandle AudioSystem::takeOverChannel(AudioSample& sample, bool onlyNew) {
    if (onlyNew || !(sample.flags & AudioFlag::kSampleOverPos) || sample.channelHandles.empty()) return 0;
    // A channel that is not playing goes first; among playing ones the one that has
    // played longest, which is the least missed.
    AudioHandle victim = 0;
    std::uint64_t longest = 0;
    for (AudioHandle h : sample.channelHandles) {
        const AudioVoice* voice = channels.find(h);
        if (!voice || !voice->playing) {
            victim = h;
            break;
        }
        if (!victim || voice->playedFrames > longest) {
            victim = h;
            longest = voice->playedFrames;
        }
    }
    releaseChannel(victim);
    return victim;
}

// ---- channels ----

AudioVoice* AudioSystem::findVoice(AudioHandle handle, AudioStream** stream) const {
    if (stream) *stream = nullptr;
    if (kindOf(handle) == kChannelKind) {
        AudioVoice* voice = channels.find(handle);
        return voice && !voice->finished ? voice : nullptr;
    }
    if (kindOf(handle) == kStreamKind) {
        AudioStream* s = streams.find(handle);
        if (!s) return nullptr;
        if (stream) *stream = s;
        return &s->voice;
    }
    return nullptr;
}

void AudioSystem::releaseChannel(AudioHandle handle) {
    const AudioVoice* voice = channels.find(handle);
    if (!voice) return;
    if (AudioSample* sample = samples.find(voice->owner)) std::erase(sample->channelHandles, handle);
    channels.remove(handle);
    rebuildVoiceList();
}

void AudioSystem::releaseFinishedChannels() {
    std::vector<AudioHandle> finished;
    channels.forEach([&](AudioHandle h, const AudioVoice& voice) {
        if (voice.finished) finished.push_back(h);
    });
    for (AudioHandle h : finished) releaseChannel(h);
}

void AudioSystem::rebuildVoiceList() {
    voices.clear();
    channels.forEach([&](AudioHandle, AudioVoice& voice) { voices.push_back(&voice); });
    streams.forEach([&](AudioHandle, AudioStream& stream) { voices.push_back(&stream.voice); });
}

bool AudioSystem::channelPlay(AudioHandle handle, bool restart) {
    if (!initialised) return fail(AudioError::kInit);
    AudioStream* stream = nullptr;
    {
        std::lock_guard guard(lock);
        AudioVoice* voice = findVoice(handle, &stream);
        if (!voice) return fail(AudioError::kHandle);
        if (!stream) {
            voice->play(restart);
            return succeed();
        }
        if (voice->playing && !restart) return succeed();
    }
    if (restart) {
        if (!seekStream(*stream, 0)) return fail(AudioError::kCodec);
    } else {
        refillStream(*stream, stream->framesFor(kStreamPrefillSeconds));
    }
    std::lock_guard guard(lock);
    stream->voice.play(false);
    return succeed();
}

bool AudioSystem::channelStop(AudioHandle handle) {
    if (!initialised) return fail(AudioError::kInit);
    std::lock_guard guard(lock);
    AudioVoice* voice = findVoice(handle, nullptr);
    if (!voice) return fail(AudioError::kHandle);
    voice->stop();
    return succeed();
}

int AudioSystem::channelIsActive(AudioHandle handle) {
    if (!initialised) return fail(AudioError::kInit), AudioActive::kStopped;
    std::lock_guard guard(lock);
    const AudioVoice* voice = findVoice(handle, nullptr);
    if (!voice) return fail(AudioError::kHandle), AudioActive::kStopped;
    succeed();
    return voice->playing ? AudioActive::kPlaying : AudioActive::kStopped;
}

bool AudioSystem::channelSetAttribute(AudioHandle handle, int attribute, float value) {
    return changeAttribute(handle, attribute, value, 0, false);
}

bool AudioSystem::channelSlideAttribute(AudioHandle handle, int attribute, float value, int milliseconds) {
    return changeAttribute(handle, attribute, value, milliseconds, true);
}

bool AudioSystem::changeAttribute(AudioHandle handle, int attribute, float value, int milliseconds, bool slide) {
    if (!initialised) return fail(AudioError::kInit);
    if (!std::isfinite(value)) return fail(AudioError::kIllegalParam);
    std::lock_guard guard(lock);
    AudioVoice* voice = findVoice(handle, nullptr);
    if (!voice) return fail(AudioError::kHandle);
    const std::int64_t frames = mixer->millisecondsToFrames(std::max(milliseconds, 0));
    switch (attribute) {
        case AudioAttribute::kFrequency: {
            const float most = static_cast<float>(mixer->outputRate() * AudioMixer::kMaxRatio);
            voice->frequency.slideTo(value <= 0.0f ? 0.0f : std::clamp(value, 1.0f, most), frames);
            break;
        }
        case AudioAttribute::kVolume:
            voice->volume.slideTo(std::clamp(value, 0.0f, 1.0f), frames);
            // A fade below zero ends the channel when it arrives; a fade of no length at once.
            voice->stopWhenFaded = slide && value < 0.0f && frames > 0;
            if (slide && value < 0.0f && frames == 0) voice->stop();
            break;
        case AudioAttribute::kPan:
            voice->pan.slideTo(std::clamp(value, -1.0f, 1.0f), frames);
            break;
        default:
            return fail(AudioError::kIllegalType);
    }
    return succeed();
}

bool AudioSystem::channelGetAttribute(AudioHandle handle, int attribute, float& value) {
    if (!initialised) return fail(AudioError::kInit);
    std::lock_guard guard(lock);
    const AudioVoice* voice = findVoice(handle, nullptr);
    if (!voice) return fail(AudioError::kHandle);
    switch (attribute) {
        case AudioAttribute::kFrequency:
            value = voice->frequency.value();
            break;
        case AudioAttribute::kVolume:
            value = voice->volume.value();
            break;
        case AudioAttribute::kPan:
            value = voice->pan.value();
            break;
        default:
            return fail(AudioError::kIllegalType);
    }
    return succeed();
}

std::uint64_t AudioSystem::channelGetLength(AudioHandle handle, int mode) {
    if (!initialised) return fail(AudioError::kInit), kAudioNoPosition;
    if (mode != kAudioPositionBytes) return fail(AudioError::kIllegalType), kAudioNoPosition;
    std::lock_guard guard(lock);
    AudioStream* stream = nullptr;
    const AudioVoice* voice = findVoice(handle, &stream);
    if (!voice) return fail(AudioError::kHandle), kAudioNoPosition;
    succeed();
    if (stream) return stream->lengthFrames() * stream->bytesPerFrame();
    return static_cast<std::uint64_t>(voice->frameCount) * voice->channels * sizeof(float);
}

std::uint64_t AudioSystem::channelGetPosition(AudioHandle handle, int mode) {
    if (!initialised) return fail(AudioError::kInit), kAudioNoPosition;
    if (mode != kAudioPositionBytes) return fail(AudioError::kIllegalType), kAudioNoPosition;
    std::lock_guard guard(lock);
    AudioStream* stream = nullptr;
    const AudioVoice* voice = findVoice(handle, &stream);
    if (!voice) return fail(AudioError::kHandle), kAudioNoPosition;
    succeed();
    if (stream) return stream->playFrame() * stream->bytesPerFrame();
    const std::uint64_t frame = std::min<std::uint64_t>(voice->position >> 32, voice->frameCount);
    return frame * voice->channels * sizeof(float);
}

bool AudioSystem::channelSetPosition(AudioHandle handle, std::uint64_t position, int mode) {
    if (!initialised) return fail(AudioError::kInit);
    if (mode != kAudioPositionBytes) return fail(AudioError::kIllegalType);
    AudioStream* stream = nullptr;
    {
        std::lock_guard guard(lock);
        AudioVoice* voice = findVoice(handle, &stream);
        if (!voice) return fail(AudioError::kHandle);
        if (!stream) {
            const std::uint64_t frame = position / (static_cast<std::uint64_t>(voice->channels) * sizeof(float));
            if (frame > voice->frameCount) return fail(AudioError::kPosition);
            voice->position = frame << 32;
            return succeed();
        }
    }
    const std::uint64_t frame = position / stream->bytesPerFrame();
    if (frame > stream->lengthFrames()) return fail(AudioError::kPosition);
    if (!seekStream(*stream, frame)) return fail(AudioError::kCodec);
    return succeed();
}

// ---- streams ----

AudioHandle AudioSystem::streamCreate(const void* data, std::size_t size, std::uint32_t flags) {
    if (!initialised) return fail(AudioError::kInit), 0;
    auto decoder = std::make_unique<VorbisDecoder>();
    if (const int e = decoder->open(static_cast<const std::uint8_t*>(data), size)) return fail(e), 0;
    auto stream = std::make_unique<AudioStream>(std::move(decoder), (flags & AudioFlag::kSampleLoop) != 0);
    std::lock_guard guard(lock);
    const AudioHandle handle = streams.add(std::move(stream));
    if (!handle) return fail(AudioError::kMemory), 0;
    rebuildVoiceList();
    succeed();
    return handle;
}

bool AudioSystem::streamFree(AudioHandle handle) {
    if (!initialised) return fail(AudioError::kInit);
    std::unique_ptr<AudioStream> stream;
    {
        std::lock_guard guard(lock);
        stream = streams.remove(handle);
        if (!stream) return fail(AudioError::kHandle);
        rebuildVoiceList();
    }
    return succeed();
}

bool AudioSystem::seekStream(AudioStream& stream, std::uint64_t frame) {
    // Decoding the first frames from the new place happens before the lock is taken;
    // the old frames play on meanwhile.
    if (!stream.prepareAt(frame, stream.framesFor(kStreamPrefillSeconds))) return false;
    std::lock_guard guard(lock);
    stream.restartAt();
    return true;
}

void AudioSystem::refillStream(AudioStream& stream, std::uint32_t leadFrames) {
    std::uint32_t buffered;
    {
        std::lock_guard guard(lock);
        buffered = stream.fifo.available();
    }
    buffered += stream.pendingFrames();
    if (buffered < leadFrames) stream.decodeAhead(leadFrames - buffered);
    std::lock_guard guard(lock);
    stream.commitPending();
}
