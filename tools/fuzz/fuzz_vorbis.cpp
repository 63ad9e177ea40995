// Ogg Vorbis decoding from memory: any bytes either fail to open or decode, seek and
// read without leaving the block or decoding more frames than the cap allows.
#include <cstdint>
#include <vector>

#include "platform/AudioError.h"
#include "platform/VorbisDecoder.h"

namespace {
constexpr std::uint64_t kMaxFrames = 1u << 18;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return 0;
    VorbisDecoder decoder;
    if (decoder.open(data, size) != AudioError::kOk) return 0;
    if (decoder.channels() < 1 || decoder.channels() > 2) __builtin_trap();
    if (decoder.rate() < VorbisDecoder::kMinRate || decoder.rate() > VorbisDecoder::kMaxRate) __builtin_trap();
    std::vector<float> frames(256 * 2);
    decoder.read(frames.data(), 256);
    decoder.seek(decoder.lengthFrames() / 2);
    decoder.seek(decoder.lengthFrames() + 1000);
    decoder.seek(0);
    std::vector<float> all;
    decoder.decodeAll(all, kMaxFrames);
    if (all.size() > kMaxFrames * static_cast<std::uint64_t>(decoder.channels())) __builtin_trap();
    return 0;
}
