#pragma once
// One sound effect: a sound file loaded as a sample into the audio layer, with a limit
// on simultaneous playbacks, an optional loop, a random pitch range and a minimum
// interval between two starts. Fire-and-forget plays (play, playAt, playAtFrequency)
// each start a temporary SoundChannel that plays on after it is gone.
//
// Lifetime: created by the loading screen and held by the resource registry and the
// object tree. Its sample is loaded at construction (or on first use with delayed
// loading), freed on a lost display device and by purge() when no channel of it is
// left, and loaded again on the next use; never while audio is muted.
#include <cstdint>
#include <string>

#include "engine/QorBase.h"
#include "engine/Vector3.h"
#include "platform/AudioRecords.h"

class Sound : public QorBase {
public:
    // flags: bit 0 loops. maxPlaybacks: channels of it that may play at once.
    Sound(std::uint32_t flags, int maxPlaybacks, std::u16string fileName);
    // Frees the sample, stopping any channel of it that still plays.
    ~Sound() override;

    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // Loads the sample from the file; a failure is fatal. Nothing while audio is muted.
    void recreateSound();
    // One playback at a random pitch: a factor 1 + [frequencyVariationMin, Max).
    void play();
    // One playback at `frequency`: a factor of the sample's rate up to 100, else Hz.
    void playAtFrequency(float frequency);
    // One playback at a random pitch, panned by the horizontal screen position
    // (-half the virtual width full left, +half full right, clamped beyond).
    void playAt(Vector3 position);

    // Frees the sample when the display device is lost (mode 2 to 1).
    void onQORmodeChange(int oldMode, int newMode) override;
    // Frees the sample when no channel of it exists.
    void purge() override;

    // Sum of the decoded bytes of every loaded sample, for the statistics line.
    static std::int32_t residentSoundBytes;

    double lastPlayTime = 0.0;           // s of engine time; when a channel of it last started
    double minReplayInterval = 0.0;      // s; a start closer than this to the last one is refused
    float frequencyVariationMin = 0.0f;  // random pitch offset range
    float frequencyVariationMax = 0.0f;
    AudioHandle pSample = 0;  // 0 while nothing is loaded
    AudioSampleInfo info{};   // freq (Hz) and length (bytes) of the loaded sample
    std::u16string fileName;  // as the file manager names it
    std::uint32_t flags = 0;  // bit 0 = loop
    std::int32_t savedMaxPlaybacks = 0;
    bool savedUseWad = false;  // where the file was found: archive or disk

private:
    void freeSample();
    float randomFrequency() const;
};
