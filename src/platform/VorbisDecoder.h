#pragma once
// An Ogg Vorbis decoder over bytes in memory (libvorbisfile with read, seek and tell
// over the caller's block). The bytes are untrusted: every failure is a result, and
// the decoder never reads outside the block.
//
// Lifetime: the caller keeps the bytes alive and unchanged while the decoder exists.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/AudioSource.h"

struct OggVorbis_File;

class VorbisDecoder : public AudioSource {
public:
    static constexpr int kMinRate = 1000;    // Hz
    static constexpr int kMaxRate = 384000;  // Hz

    VorbisDecoder();
    ~VorbisDecoder() override;
    VorbisDecoder(const VorbisDecoder&) = delete;
    VorbisDecoder& operator=(const VorbisDecoder&) = delete;

    // Opens the bytes. Returns an AudioError code: kOk; kFileForm when they are not Ogg
    // Vorbis; kFormat for more than two channels, a rate outside kMinRate..kMaxRate, or
    // chained parts that differ in channels or rate.
    int open(const std::uint8_t* data, std::size_t size);

    int channels() const override { return channelCount; }
    int rate() const override { return sampleRate; }
    std::uint64_t lengthFrames() const override { return length; }
    std::int64_t read(float* out, std::uint32_t frames) override;
    bool seek(std::uint64_t frame) override;

    // Decodes every frame from the present position onto the end of `out`. Returns an
    // AudioError code: kOk; kCodec for damaged data; kMemory when the file holds more
    // than `maxFrames` frames (whatever its header claims).
    int decodeAll(std::vector<float>& out, std::uint64_t maxFrames);

private:
    static std::size_t readBytes(void* buffer, std::size_t size, std::size_t count, void* self);
    static int seekBytes(void* self, std::int64_t offset, int whence);
    static long tellBytes(void* self);
    int checkLinks();

    std::unique_ptr<OggVorbis_File> file;
    bool isOpen = false;
    const std::uint8_t* bytes = nullptr;
    std::size_t byteCount = 0;
    std::size_t byteOffset = 0;
    int channelCount = 0;
    int sampleRate = 0;
    std::uint64_t length = 0;
};
