#pragma once
// One channel as the mixer sees it: where its frames come from, how far it has played,
// and its frequency, volume and pan. The audio system owns every voice and changes it
// only under its lock; the mixer reads the source and advances the playing state.
//
// A voice plays either a sample's frames (held by the sample, which outlives its
// voices) or the frames a stream has decoded into its fifo (owned by the stream).
#include <cstdint>

#include "platform/AudioRecords.h"
#include "platform/AudioSlide.h"

class AudioStreamFifo;

class AudioVoice {
public:
    enum class Group { kSample, kStream };  // which global volume applies

    // Starts playing; `restart` goes back to the first frame first.
    void play(bool restart);
    // Stops where it is; the voice stays valid and can be played again.
    void stop();

    // Source.
    Group group = Group::kSample;
    const float* frames = nullptr;    // sample voices: interleaved, `channels` values a frame
    std::uint32_t frameCount = 0;     // sample voices: at least 1
    AudioStreamFifo* fifo = nullptr;  // stream voices
    int channels = 1;                 // 1 or 2
    bool loop = false;                // samples: wrap at the end (streams loop in their decoder)
    float ownRate = 44100.0f;         // Hz, the rate the source was recorded at

    // Attributes: frequency in Hz (0 = ownRate), volume 0..1, pan -1..1.
    AudioSlide frequency{0.0f};
    AudioSlide volume{1.0f};
    AudioSlide pan{0.0f};
    bool stopWhenFaded = false;  // the running volume slide was aimed below 0

    // Playing state.
    bool playing = false;
    bool finished = false;           // a non-looping source ran out; a sample voice is then released
    std::uint64_t position = 0;      // 32.32 fixed point, source frames (streams: from the fifo's read point)
    std::uint64_t playedFrames = 0;  // output frames since the last start: how long it has been playing
    float gainLeft = 0.0f;           // the gains applied at the end of the last mixed block
    float gainRight = 0.0f;
    bool gainsValid = false;  // false until the first block after a start

    AudioHandle owner = 0;  // the sample of a sample voice
};
