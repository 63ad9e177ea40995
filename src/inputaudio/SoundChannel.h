#pragma once
// One playback of a Sound. A channel that was started plays on after this object is
// gone; one that never started is stopped when it is destroyed. Objects that keep a
// sound going (an engine loop, a hum) own one and change its frequency and pan.
//
// The sound must outlive the channel object. While audio is muted `channel` is 0 and
// every call on it is ignored.
#include "engine/QorBase.h"
#include "platform/AudioRecords.h"

class Sound;

class SoundChannel : public QorBase {
public:
    // Loads the sound's sample if needed and takes a channel of it (the sound's
    // longest-playing one when all are busy). A null sound is fatal.
    explicit SoundChannel(Sound* sound);
    ~SoundChannel() override;

    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // value > 100: a rate in Hz; otherwise a factor of the sample's own rate (negative
    // factors give rate 0, the sample's own rate). time: seconds of slide, 0 at once.
    void setFrequency(float value, double time);
    // pan: -1 left .. 1 right, clamped. time: seconds of slide, 0 at once.
    void setPan(float pan, double time);
    // Starts the channel unless the sound's minimum interval since its last start has
    // not passed yet.
    void play();

    Sound* pSound = nullptr;  // not owned; never null
    bool started = false;     // play() has started it once
    AudioHandle channel = 0;

    // A slide time in seconds as the layer takes it: milliseconds, truncated toward 0.
    static int slideMilliseconds(double seconds);
};
