#include "platform/VorbisDecoder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

#include "platform/AudioError.h"

namespace {
// A hole (lost pages) is skipped; this many in a row mean the data is garbage.
constexpr int kMaxHolesInARow = 64;
constexpr std::uint32_t kDecodeBlock = 4096;
}  // namespace

VorbisDecoder::VorbisDecoder() : file(std::make_unique<OggVorbis_File>()) {}

VorbisDecoder::~VorbisDecoder() {
    if (isOpen) ov_clear(file.get());
}

std::size_t VorbisDecoder::readBytes(void* buffer, std::size_t size, std::size_t count, void* self) {
    auto& d = *static_cast<VorbisDecoder*>(self);
    if (size == 0) return 0;
    const std::size_t items = std::min(count, (d.byteCount - d.byteOffset) / size);
    if (items == 0) return 0;
    std::memcpy(buffer, d.bytes + d.byteOffset, items * size);
    d.byteOffset += items * size;
    return items;
}

int VorbisDecoder::seekBytes(void* self, std::int64_t offset, int whence) {
    auto& d = *static_cast<VorbisDecoder*>(self);
    std::int64_t base = 0;
    if (whence == SEEK_CUR)
        base = static_cast<std::int64_t>(d.byteOffset);
    else if (whence == SEEK_END)
        base = static_cast<std::int64_t>(d.byteCount);
    else if (whence != SEEK_SET)
        return -1;
    // Overflow-free: both terms are far below the limits of 64 bits for real blocks.
    if (offset < -base || offset > static_cast<std::int64_t>(d.byteCount) - base) return -1;
    d.byteOffset = static_cast<std::size_t>(base + offset);
    return 0;
}

long VorbisDecoder::tellBytes(void* self) { return static_cast<long>(static_cast<VorbisDecoder*>(self)->byteOffset); }

int VorbisDecoder::open(const std::uint8_t* data, std::size_t size) {
    if (isOpen) ov_clear(file.get());
    isOpen = false;
    bytes = data;
    byteCount = data ? size : 0;
    byteOffset = 0;
    const ov_callbacks callbacks{&readBytes, &seekBytes, nullptr, &tellBytes};
    if (ov_open_callbacks(this, file.get(), nullptr, 0, callbacks) != 0) return AudioError::kFileForm;
    const ogg_int64_t total = ov_pcm_total(file.get(), -1);
    const int result = total < 0 ? AudioError::kFileForm : checkLinks();
    if (result != AudioError::kOk) {
        // A refused file reads as nothing at all.
        ov_clear(file.get());
        channelCount = sampleRate = 0;
        return result;
    }
    isOpen = true;
    length = static_cast<std::uint64_t>(total);
    return AudioError::kOk;
}

int VorbisDecoder::checkLinks() {
    // Chained files may change format between parts; the mixer plays one format a source.
    const long links = ov_streams(file.get());
    for (long i = 0; i < links; ++i) {
        const vorbis_info* info = ov_info(file.get(), static_cast<int>(i));
        if (!info) return AudioError::kFileForm;
        if (i == 0) {
            channelCount = info->channels;
            sampleRate = static_cast<int>(std::clamp<long>(info->rate, 0, kMaxRate + 1));
        }
        if (info->channels != channelCount || info->rate != sampleRate) return AudioError::kFormat;
    }
    if (channelCount < 1 || channelCount > 2 || sampleRate < kMinRate || sampleRate > kMaxRate)
        return AudioError::kFormat;
    return AudioError::kOk;
}

std::int64_t VorbisDecoder::read(float* out, std::uint32_t frames) {
    if (!isOpen || channelCount == 0) return -1;
    int holes = 0;
    for (;;) {
        float** pcm = nullptr;
        int link = 0;
        const int wanted = static_cast<int>(std::min<std::uint32_t>(frames, kDecodeBlock));
        const long got = ov_read_float(file.get(), &pcm, wanted, &link);
        if (got == OV_HOLE && ++holes < kMaxHolesInARow) continue;
        if (got < 0) return -1;
        const vorbis_info* info = ov_info(file.get(), link);
        if (got > 0 && (!info || info->channels != channelCount)) return -1;
        for (long i = 0; i < got; ++i)
            for (int c = 0; c < channelCount; ++c) out[i * channelCount + c] = pcm[c][i];
        return got;
    }
}

bool VorbisDecoder::seek(std::uint64_t frame) {
    if (!isOpen) return false;
    return ov_pcm_seek(file.get(), static_cast<ogg_int64_t>(std::min(frame, length))) == 0;
}

int VorbisDecoder::decodeAll(std::vector<float>& out, std::uint64_t maxFrames) {
    // The header's length is only a hint for the reservation: damaged files may lie.
    out.reserve(out.size() + static_cast<std::size_t>(std::min(length, maxFrames)) * channelCount);
    std::vector<float> block(static_cast<std::size_t>(kDecodeBlock) * 2);
    std::uint64_t decoded = 0;
    for (;;) {
        const std::int64_t got = read(block.data(), kDecodeBlock);
        if (got < 0) return AudioError::kCodec;
        if (got == 0) return AudioError::kOk;
        decoded += static_cast<std::uint64_t>(got);
        if (decoded > maxFrames) return AudioError::kMemory;
        out.insert(out.end(), block.begin(), block.begin() + got * channelCount);
    }
}
