#pragma once
// The mixer: adds playing voices into an interleaved stereo float buffer at the output
// rate. Plain code without a device or a lock, so that it is tested on synthetic
// buffers; the audio system calls it from the output callback under its lock.
//
// Per voice: linear-interpolating resampling from the voice's rate to the output rate;
// volume; constant-power pan for mono sources and balance for stereo ones; the global
// volume of the voice's group; linear slides, applied in blocks whose gains ramp from
// the previous block's, so that no change of volume or pan clicks. The sum goes through
// a peak limiter (AudioLimiter), so that a busy scene is turned down for a moment
// instead of clipping, while a quiet one passes untouched.
#include <cstdint>
#include <span>
#include <vector>

#include "platform/AudioLimiter.h"
#include "platform/AudioVoice.h"

class AudioMixer {
public:
    static constexpr int kBlockFrames = 256;   // the longest stretch mixed with one rate
    static constexpr double kMaxRatio = 64.0;  // fastest playback, in source frames per output frame

    explicit AudioMixer(int outputRate);

    int outputRate() const { return rate; }
    // 0..1 for every voice of the group.
    void setGroupVolume(AudioVoice::Group group, float volume);
    float groupVolume(AudioVoice::Group group) const;
    // Output frames in `milliseconds`, rounded to the nearest frame.
    std::int64_t millisecondsToFrames(int milliseconds) const;

    // Overwrites `out` (interleaved left/right; out.size() / 2 frames) with the mix of
    // the playing voices, and moves each of them on by that much.
    void mix(std::span<AudioVoice* const> voices, std::span<float> out);

private:
    void mixVoice(AudioVoice& voice, float* out, int frames);
    // Renders up to `frames` frames of the voice's source into `out`; returns how many
    // it could (fewer when the source ended or a stream ran dry).
    int renderSample(AudioVoice& voice, float* out, int frames, std::uint64_t step, float gains[4]);
    int renderStream(AudioVoice& voice, float* out, int frames, std::uint64_t step, float gains[4]);
    std::uint64_t stepFor(const AudioVoice& voice) const;
    void gainsAfter(const AudioVoice& voice, std::int64_t frames, float& left, float& right) const;

    int rate;
    float sampleVolume = 1.0f;
    float streamVolume = 1.0f;
    std::vector<float> scratch;  // a stream's frames of one block, copied out of its ring
    AudioLimiter limiter;
};
