#include "platform/AudioStreamFifo.h"

#include <algorithm>
#include <cstring>

AudioStreamFifo::AudioStreamFifo(int channels, std::uint32_t capacity)
    : channelCount(channels),
      capacityFrames(std::max<std::uint32_t>(capacity, 1)),
      ring(static_cast<std::size_t>(capacityFrames) * static_cast<std::size_t>(channels)) {}

std::uint32_t AudioStreamFifo::write(const float* frames, std::uint32_t frameCount) {
    const std::uint32_t n = std::min(frameCount, space());
    std::uint32_t at = (readFrame + count) % capacityFrames;
    std::uint32_t done = 0;
    while (done < n) {
        // At most two pieces: up to the end of the ring, then from its start.
        const std::uint32_t piece = std::min(n - done, capacityFrames - at);
        std::memcpy(&ring[static_cast<std::size_t>(at) * channelCount],
                    frames + static_cast<std::size_t>(done) * channelCount,
                    static_cast<std::size_t>(piece) * channelCount * sizeof(float));
        done += piece;
        at = (at + piece) % capacityFrames;
    }
    count += n;
    return n;
}

void AudioStreamFifo::peek(std::uint32_t offset, float* out, std::uint32_t frameCount) const {
    frameCount = std::min(frameCount, count > offset ? count - offset : 0);
    std::uint32_t at = (readFrame + offset) % capacityFrames;
    std::uint32_t done = 0;
    while (done < frameCount) {
        const std::uint32_t piece = std::min(frameCount - done, capacityFrames - at);
        std::memcpy(out + static_cast<std::size_t>(done) * channelCount,
                    &ring[static_cast<std::size_t>(at) * channelCount],
                    static_cast<std::size_t>(piece) * channelCount * sizeof(float));
        done += piece;
        at = (at + piece) % capacityFrames;
    }
}

void AudioStreamFifo::consume(std::uint32_t frameCount) {
    frameCount = std::min(frameCount, count);
    readFrame = (readFrame + frameCount) % capacityFrames;
    count -= frameCount;
    consumedTotal += frameCount;
}

void AudioStreamFifo::clear() {
    readFrame = count = 0;
    consumedTotal = 0;
    ended = false;
}
