#pragma once
// The decoded frames of a stream waiting to be played: a ring of interleaved float
// frames that the main thread fills (after decoding outside any lock) and the mixer
// drains. The object itself is not locked; the audio system calls it under its lock.
#include <cstdint>
#include <vector>

class AudioStreamFifo {
public:
    // `channels` values per frame; room for `capacityFrames` frames.
    AudioStreamFifo(int channels, std::uint32_t capacityFrames);

    int channels() const { return channelCount; }
    std::uint32_t capacity() const { return capacityFrames; }
    std::uint32_t available() const { return count; }
    std::uint32_t space() const { return capacityFrames - count; }

    // Appends up to `frames` frames; returns how many fitted.
    std::uint32_t write(const float* frames, std::uint32_t frameCount);
    // Copies `frameCount` frames starting `offset` frames after the read point into
    // `out`; offset + frameCount must not exceed available().
    void peek(std::uint32_t offset, float* out, std::uint32_t frameCount) const;
    // Drops frames from the read point (at most those available).
    void consume(std::uint32_t frameCount);
    // Empties the ring and starts the consumed count again.
    void clear();

    bool ended = false;               // no frames follow those buffered (a stream without loop)
    std::uint64_t consumedTotal = 0;  // frames consumed since the last clear()

private:
    int channelCount;
    std::uint32_t capacityFrames;
    std::vector<float> ring;
    std::uint32_t readFrame = 0;  // ring index of the oldest frame
    std::uint32_t count = 0;      // frames buffered
};
