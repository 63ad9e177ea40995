#pragma once
// The audio layer: output devices, samples decoded whole, their playing channels, and
// streams decoded a little at a time, mixed by our own mixer onto SDL's audio output.
// The engine's audio classes (QorAudio, Sound, SoundChannel, SoundStream) play
// through it; it is a process-wide service like a sound library, so that samples and
// streams freed after the audio device has shut down are refused, never a crash.
//
// Devices: 0 is the silent device, which always opens and plays nothing (the mix only
// moves on when render() is called); real outputs follow from 1 in SDL's order; -1 is
// the system's default output.
//
// Every call but render() belongs to the main thread. A call that fails returns false,
// 0, -1 or kAudioNoPosition and leaves its AudioError code for errorGetCode(); one that
// succeeds leaves kOk. Every call but getVersion, setConfig, getDeviceInfo and
// errorGetCode fails with kInit while the layer is not initialised.
//
// Threads: one lock guards what the output callback reads (voices, fifos, the mixer).
// Decoding, and freeing decoded data, always happen outside it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/AudioDevice.h"
#include "platform/AudioMixer.h"
#include "platform/AudioRecords.h"
#include "platform/AudioSample.h"
#include "platform/AudioSlotPool.h"
#include "platform/AudioStream.h"
#include "platform/AudioVoice.h"

class AudioSystem {
public:
    // The version of the call contract this layer keeps.
    static constexpr std::uint32_t kVersion = 0x02040a08;
    static constexpr int kMinOutputRate = 8000;            // Hz
    static constexpr int kMaxOutputRate = 192000;          // Hz
    static constexpr int kMaxSampleSeconds = 600;          // longer samples are refused (kMemory)
    static constexpr double kStreamLeadSeconds = 1.0;      // decoded ahead of a playing stream
    static constexpr double kStreamPrefillSeconds = 0.25;  // decoded when a stream starts or seeks

    AudioSystem();
    ~AudioSystem();
    AudioSystem(const AudioSystem&) = delete;
    AudioSystem& operator=(const AudioSystem&) = delete;

    // The one the engine uses.
    static AudioSystem& shared();

    std::uint32_t getVersion() const { return kVersion; }
    int errorGetCode() const { return lastError; }
    // AudioConfig options; volumes 0..AudioConfig::kFullVolume (clamped), full as a
    // process starts. Works before init.
    bool setConfig(int option, int value);
    int getConfig(int option) const;
    // False when there is no such device.
    bool getDeviceInfo(int device, AudioDeviceInfo& info);

    // Opens `device` for output at `frequency` Hz (clamped to the output rates; for the
    // silent device it only sets the time base of slides). `flags` are kept for getInfo.
    bool init(int device, int frequency, std::uint32_t flags);
    // Closes the output and frees every sample, channel and stream.
    bool free();
    bool getInfo(AudioInfo& info) const;
    // Pauses the output: every channel holds where it is until start().
    bool pause();
    bool start();
    // Stops every channel and stream, then pauses the output; start() resumes output.
    bool stop();
    // Refills the playing streams (at least `milliseconds` and kStreamLeadSeconds ahead)
    // and releases the channels that have played to their end.
    bool update(int milliseconds);
    // Percent of wall time the mixer takes on the output thread.
    float getCPU() const;

    // Decodes Ogg Vorbis bytes (the caller's, read only during the call) into a sample
    // of which at most `maxPlaybacks` channels exist at once.
    AudioHandle sampleLoad(const void* data, std::size_t size, int maxPlaybacks, std::uint32_t flags);
    bool sampleGetInfo(AudioHandle sample, AudioSampleInfo& info) const;
    // Frees the sample; its channels stop and their handles become invalid.
    bool sampleFree(AudioHandle sample);
    // The number of its channels that exist (-1 on failure); their handles, oldest
    // first, into `list` when one is given.
    int sampleGetChannels(AudioHandle sample, std::vector<AudioHandle>* list = nullptr);
    // A new channel of the sample, stopped, at its own rate, full volume, centred. When
    // the sample has all its channels: with kSampleOverPos (and not `onlyNew`) the one
    // not playing, else the longest playing, is taken over (its handle becomes invalid);
    // otherwise kNoChannel.
    AudioHandle sampleGetChannel(AudioHandle sample, bool onlyNew);

    // Channels are sample channels and streams. A sample channel that plays to its end
    // is released (its handle becomes invalid); a stopped one stays valid.
    bool channelPlay(AudioHandle channel, bool restart);
    bool channelStop(AudioHandle channel);
    int channelIsActive(AudioHandle channel);  // AudioActive; kStopped on failure
    bool channelSetAttribute(AudioHandle channel, int attribute, float value);
    // Slides linearly over `milliseconds`, replacing a running slide of the attribute.
    bool channelSlideAttribute(AudioHandle channel, int attribute, float value, int milliseconds);
    // The attribute's present value (a slide's value where it has got to; frequency 0
    // when the source plays at its own rate).
    bool channelGetAttribute(AudioHandle channel, int attribute, float& value);
    std::uint64_t channelGetLength(AudioHandle channel, int mode);
    std::uint64_t channelGetPosition(AudioHandle channel, int mode);
    bool channelSetPosition(AudioHandle channel, std::uint64_t position, int mode);

    // A stream over Ogg Vorbis bytes that the caller keeps alive and unchanged until
    // streamFree. Flags: kSampleLoop.
    AudioHandle streamCreate(const void* data, std::size_t size, std::uint32_t flags);
    bool streamFree(AudioHandle stream);

    // The next `frames` frames of the mix, interleaved stereo: the output callback's
    // call, and the way to move the silent device on (tests).
    void render(float* out, int frames);

private:
    // The kinds of handle, as the pools mark them.
    static constexpr std::uint32_t kSampleKind = 1;
    static constexpr std::uint32_t kChannelKind = 2;
    static constexpr std::uint32_t kStreamKind = 3;

    static void renderCallback(void* self, float* out, int frames);
    bool fail(int code) const;
    bool succeed() const;
    bool ensureDriver();
    void stopDriver();
    // Under the lock.
    AudioVoice* findVoice(AudioHandle channel, AudioStream** stream) const;
    void rebuildVoiceList();
    void releaseChannel(AudioHandle channel);
    void releaseFinishedChannels();
    void applyVolumes();
    AudioHandle takeOverChannel(AudioSample& sample, bool onlyNew);
    bool changeAttribute(AudioHandle channel, int attribute, float value, int milliseconds, bool slide);
    // Without the lock.
    bool seekStream(AudioStream& stream, std::uint64_t frame);
    void refillStream(AudioStream& stream, std::uint32_t leadFrames);

    mutable std::mutex lock;
    mutable int lastError = 0;
    bool initialised = false;
    int initDevice = 0;
    std::uint32_t initFlags = 0;
    bool driverStarted = false;
    std::unique_ptr<AudioMixer> mixer;  // exists while initialised
    AudioDevice output;
    AudioSlotPool<AudioSample> samples{kSampleKind};
    AudioSlotPool<AudioVoice> channels{kChannelKind};
    AudioSlotPool<AudioStream> streams{kStreamKind};
    std::vector<AudioVoice*> voices;  // every channel and stream voice, for the mixer
    int sampleVolume = AudioConfig::kFullVolume;
    int streamVolume = AudioConfig::kFullVolume;
    int musicVolume = AudioConfig::kFullVolume;
    int defaultFollows = 0;
    int utf8Names = 0;
};
