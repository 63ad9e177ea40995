#include "inputaudio/SoundStream.h"

#include <algorithm>

#include "engine/FileManager.h"
#include "engine/Qor.h"
#include "inputaudio/QorAudio.h"
#include "inputaudio/SoundChannel.h"
#include "platform/AudioSystem.h"

std::int32_t SoundStream::residentStreamBytes = 0;

namespace {
bool audioMuted() { return !qor->pQorAudio || qor->audio().muted; }
// What a fade "to 0" is sent as: aimed below zero, the layer stops the stream when the
// fade arrives instead of leaving it playing in silence.
constexpr float kFadeOutTarget = -0.001f;
}  // namespace

SoundStream::SoundStream(std::uint32_t f, std::u16string name)
    : sourceData(MemoryFile::kMayDelay, name), fileName(std::move(name)), flags(f), savedUseWad(qor->files().bUseWad) {
    if (!qor->bEnableDelayedLoad)
        recreateSoundStream();
    else
        qor->files().verifyFile(fileName);
}

SoundStream::~SoundStream() { freeSoundStream(); }

void SoundStream::recreateSoundStream() {
    if (audioMuted()) return;
    FileManager& files = qor->files();
    const std::uint8_t useWad = files.bUseWad;
    files.bUseWad = savedUseWad;
    sourceData.load();
    const std::u16string source = files.describe(fileName);
    files.bUseWad = useWad;
    residentStreamBytes += static_cast<std::int32_t>(sourceData.block.size);
    const std::uint32_t bassFlags = flags & 1 ? AudioFlag::kSampleLoop : 0;
    pStream = QorAudio::library().streamCreate(sourceData.block.pData, sourceData.block.size, bassFlags);
    if (!pStream)
        QorAudio::reportCallFailure("SoundStream::recreateSoundStream", __FILE__, __LINE__,
                                    "pStream = BASS_StreamCreateFile( true, sourceData.block.pData, 0, "
                                    "sourceData.block.size, bassFlags)",
                                    source);
}

void SoundStream::freeSoundStream() {
    if (pStream) {
        residentStreamBytes -= static_cast<std::int32_t>(sourceData.block.size);
        AudioSystem& audio = QorAudio::library();
        audio.channelStop(pStream);
        audio.streamFree(pStream);
        pStream = 0;
    }
    // The bytes go with the stream; they are read again when it is created next.
    sourceData.unload();
}

void SoundStream::setVolume(float volume, double time) {
    if (!pStream) recreateSoundStream();
    volume = std::clamp(volume, 0.0f, 1.0f);
    muted = volume == 0.0f;
    AudioSystem& audio = QorAudio::library();
    if (time == 0.0) {
        audio.channelSetAttribute(pStream, AudioAttribute::kVolume, volume);
    } else {
        audio.channelSlideAttribute(pStream, AudioAttribute::kVolume, volume == 0.0f ? kFadeOutTarget : volume,
                                    SoundChannel::slideMilliseconds(time));
    }
}

std::int32_t SoundStream::streamLength() const {
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(QorAudio::library().channelGetLength(pStream, kAudioPositionBytes)));
}

void SoundStream::play(float startFraction) {
    if (!pStream) recreateSoundStream();
    AudioSystem& audio = QorAudio::library();
    if (pStream && audio.channelIsActive(pStream) == AudioActive::kPlaying) return;
    setVolume(1.0f, 0.0);
    muted = false;
    audio.channelPlay(pStream, true);
    const std::int32_t length = streamLength();
    if (length > 0 && startFraction > 0.0f) {
        const float f = std::min(startFraction, 1.0f);
        const auto position = static_cast<std::uint64_t>(static_cast<float>(length) * f);
        audio.channelSetPosition(pStream, position, kAudioPositionBytes);
    }
}

void SoundStream::onQORmodeChange(int oldMode, int newMode) {
    if (oldMode == Qor::MODE_PAUSED && newMode == Qor::MODE_FROZEN) {
        if (!pStream) return;
        AudioSystem& audio = QorAudio::library();
        const std::int32_t length = streamLength();
        if (audio.channelIsActive(pStream) != AudioActive::kStopped && !muted && length > 0) {
            const std::uint64_t position = audio.channelGetPosition(pStream, kAudioPositionBytes);
            resumeFraction = std::clamp(static_cast<float>(position) / static_cast<float>(length), 0.0f, 1.0f);
        }
        freeSoundStream();
    } else if (oldMode == Qor::MODE_PAUSED && newMode == Qor::MODE_OK) {
        if (resumeFraction > 0.0f) {
            play(resumeFraction);
            resumeFraction = 0.0f;
        }
    }
}

void SoundStream::purge() {
    if (pStream && QorAudio::library().channelIsActive(pStream) != AudioActive::kPlaying) freeSoundStream();
}
