#pragma once
// A sample loaded into the audio layer: its frames decoded whole at load, how many of
// its channels may play at once, and the handles of the channels it has now. Owned by
// the audio system, which frees its channels before it.
#include <cstdint>
#include <vector>

#include "platform/AudioRecords.h"

class AudioSample {
public:
    std::vector<float> frames;                // interleaved, `channels` values a frame
    int channels = 1;                         // 1 or 2
    int rate = 44100;                         // Hz, its own rate
    int maxPlaybacks = 1;                     // channels that may exist at once
    std::uint32_t flags = 0;                  // AudioFlag bits given at load
    std::vector<AudioHandle> channelHandles;  // its channels, oldest first

    std::uint32_t frameCount() const { return static_cast<std::uint32_t>(frames.size() / channels); }
    // Bytes of decoded data, as the layer reports lengths.
    std::uint32_t byteLength() const { return static_cast<std::uint32_t>(frames.size() * sizeof(float)); }
};
