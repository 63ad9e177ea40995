#pragma once
// Where a stream's frames come from: a decoder, or in tests a synthetic signal. Read on
// the main thread only, never under the audio system's lock.
#include <cstdint>

class AudioSource {
public:
    virtual ~AudioSource() = default;

    virtual int channels() const = 0;                // 1 or 2
    virtual int rate() const = 0;                    // Hz
    virtual std::uint64_t lengthFrames() const = 0;  // frames from start to end
    // Reads up to `frames` interleaved float frames into `out`: how many were read, 0 at
    // the end, negative when the data is damaged beyond going on.
    virtual std::int64_t read(float* out, std::uint32_t frames) = 0;
    // Moves to `frame` (at most lengthFrames()); false when that fails.
    virtual bool seek(std::uint64_t frame) = 0;
};
