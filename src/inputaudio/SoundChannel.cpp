#include "inputaudio/SoundChannel.h"

#include <algorithm>
#include <cmath>

#include "engine/ClassInfo.h"
#include "engine/ErrorManager.h"
#include "engine/Qor.h"
#include "engine/TimeKeeper.h"
#include "inputaudio/QorAudio.h"
#include "inputaudio/Sound.h"
#include "platform/AudioSystem.h"

QOR_DEFINE_CLASS(SoundChannel, QorBase, nullptr)

SoundChannel::SoundChannel(Sound* sound) : pSound(sound) {
    QOR_ASSERT("SoundChannel::SoundChannel",
               pSound != NULL);  // NOLINT(modernize-use-nullptr): the report shows this text
    if (!pSound->pSample) pSound->recreateSound();
    channel = QorAudio::library().sampleGetChannel(pSound->pSample, false);
}

SoundChannel::~SoundChannel() {
    if (!started) QorAudio::library().channelStop(channel);
}

ClassInfo* SoundChannel::getClass() const { return &classInfo; }

int SoundChannel::slideMilliseconds(double seconds) {
    return static_cast<int>(std::clamp(std::trunc(seconds * 1000.0), -2147483648.0, 2147483647.0));
}

void SoundChannel::setFrequency(float value, double time) {
    float rate = value;
    if (value <= 100.0f) {
        // Up to 100 the value is a factor of the sample's own rate.
        if (!pSound->pSample) pSound->recreateSound();
        rate = static_cast<float>(pSound->info.freq) * std::max(value, 0.0f);
    }
    AudioSystem& audio = QorAudio::library();
    if (time == 0.0)
        audio.channelSetAttribute(channel, AudioAttribute::kFrequency, rate);
    else
        audio.channelSlideAttribute(channel, AudioAttribute::kFrequency, rate, slideMilliseconds(time));
}

void SoundChannel::setPan(float pan, double time) {
    pan = std::clamp(pan, -1.0f, 1.0f);
    AudioSystem& audio = QorAudio::library();
    if (time == 0.0)
        audio.channelSetAttribute(channel, AudioAttribute::kPan, pan);
    else
        audio.channelSlideAttribute(channel, AudioAttribute::kPan, pan, slideMilliseconds(time));
}

void SoundChannel::play() {
    const double now = qor->timeKeeper().now();
    if (now < pSound->lastPlayTime + pSound->minReplayInterval) return;
    QorAudio::library().channelPlay(channel, false);
    pSound->lastPlayTime = qor->timeKeeper().now();
    started = true;
}
