#include "inputaudio/Sound.h"

#include <algorithm>

#include "engine/ClassInfo.h"
#include "engine/ErrorManager.h"
#include "engine/FileManager.h"
#include "engine/MemoryFile.h"
#include "engine/Qor.h"
#include "engine/Random.h"
#include "inputaudio/QorAudio.h"
#include "inputaudio/QorInput.h"
#include "inputaudio/SoundChannel.h"
#include "platform/AudioSystem.h"

QOR_DEFINE_CLASS(Sound, QorBase, nullptr)

std::int32_t Sound::residentSoundBytes = 0;

namespace {
bool audioMuted() { return !qor->pQorAudio || qor->audio().muted; }
}  // namespace

Sound::Sound(std::uint32_t f, int maxPlaybacks, std::u16string name)
    : fileName(std::move(name)), flags(f), savedMaxPlaybacks(maxPlaybacks), savedUseWad(qor->files().bUseWad) {
    if (!qor->bEnableDelayedLoad)
        recreateSound();
    else
        qor->files().verifyFile(fileName);
}

Sound::~Sound() { freeSample(); }

ClassInfo* Sound::getClass() const { return &classInfo; }

void Sound::recreateSound() {
    if (audioMuted()) return;
    FileManager& files = qor->files();
    const std::uint8_t useWad = files.bUseWad;
    files.bUseWad = savedUseWad;
    // The file's bytes live only for the load: the layer keeps the decoded sample.
    MemoryFile file(0, fileName);
    const std::u16string source = files.describe(fileName);
    files.bUseWad = useWad;
    const std::uint32_t loop = flags & 1 ? AudioFlag::kSampleLoop : 0;
    AudioSystem& audio = QorAudio::library();
    pSample = audio.sampleLoad(file.block.pData, file.block.size, savedMaxPlaybacks,
                               loop | AudioFlag::kSampleOverPos | AudioFlag::kSampleVam);
    if (!pSample)
        QorAudio::reportCallFailure("Sound::recreateSound", __FILE__, __LINE__,
                                    "pSample = BASS_SampleLoad( true, f.block.pData, 0, f.block.size, "
                                    "savedMaxPlaybacks, bassFlags | BASS_SAMPLE_OVER_POS | BASS_SAMPLE_VAM)",
                                    source);
    info = AudioSampleInfo{};
    if (!audio.sampleGetInfo(pSample, info))
        QorAudio::reportCallFailure("Sound::recreateSound", __FILE__, __LINE__, "BASS_SampleGetInfo(pSample, &info)");
    residentSoundBytes += static_cast<std::int32_t>(info.length);
}

void Sound::freeSample() {
    if (!pSample) return;
    residentSoundBytes -= static_cast<std::int32_t>(info.length);
    QorAudio::library().sampleFree(pSample);
    pSample = 0;
}

float Sound::randomFrequency() const {
    // One draw of the shared generator per play, in step with the game's own draws.
    const float r = Random::fraction();
    const float offset = frequencyVariationMin + (frequencyVariationMax - frequencyVariationMin) * r;
    return 1.0f + offset;
}

void Sound::play() {
    if (!pSample) recreateSound();
    SoundChannel channel(this);
    channel.setFrequency(randomFrequency(), 0.0);
    channel.play();
}

void Sound::playAtFrequency(float frequency) {
    if (!pSample) recreateSound();
    SoundChannel channel(this);
    channel.setFrequency(frequency, 0.0);
    channel.play();
}

void Sound::playAt(Vector3 position) {
    if (!pSample) recreateSound();
    SoundChannel channel(this);
    const int half = static_cast<int>(qor->input().viewport().width) / 2;
    const float t = half == 0 ? 0.0f : std::clamp((position.x + half) / (2.0f * half), 0.0f, 1.0f);
    channel.setPan(-1.0f + 2.0f * t, 0.0);
    channel.setFrequency(randomFrequency(), 0.0);
    channel.play();
}

void Sound::onQORmodeChange(int oldMode, int newMode) {
    if (oldMode == Qor::MODE_PAUSED && newMode == Qor::MODE_FROZEN) freeSample();
}

void Sound::purge() {
    if (pSample && QorAudio::library().sampleGetChannels(pSample) == 0) freeSample();
}
