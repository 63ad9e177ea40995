#include "OggWriter.h"

#include <vorbis/vorbisenc.h>

#include <cstdio>
#include <filesystem>
#include <memory>

namespace {
// The encoder's C state, released on every path out of write().
struct Encoder {
    vorbis_info info{};
    vorbis_comment comment{};
    vorbis_dsp_state dsp{};
    vorbis_block block{};
    ogg_stream_state stream{};
    bool dspReady = false;

    Encoder() {
        vorbis_info_init(&info);
        vorbis_comment_init(&comment);
    }
    ~Encoder() {
        if (dspReady) {
            ogg_stream_clear(&stream);
            vorbis_block_clear(&block);
            vorbis_dsp_clear(&dsp);
        }
        vorbis_comment_clear(&comment);
        vorbis_info_clear(&info);
    }
    Encoder(const Encoder&) = delete;
    Encoder& operator=(const Encoder&) = delete;
};

bool writePage(std::FILE* file, const ogg_page& page) {
    return std::fwrite(page.header, 1, static_cast<std::size_t>(page.header_len), file) ==
               static_cast<std::size_t>(page.header_len) &&
           std::fwrite(page.body, 1, static_cast<std::size_t>(page.body_len), file) ==
               static_cast<std::size_t>(page.body_len);
}

// Moves finished blocks from the analysis into pages on disk.
bool drain(Encoder& e, std::FILE* file) {
    ogg_packet packet;
    ogg_page page;
    while (vorbis_analysis_blockout(&e.dsp, &e.block) == 1) {
        vorbis_analysis(&e.block, nullptr);
        vorbis_bitrate_addblock(&e.block);
        while (vorbis_bitrate_flushpacket(&e.dsp, &packet)) {
            ogg_stream_packetin(&e.stream, &packet);
            while (ogg_stream_pageout(&e.stream, &page))
                if (!writePage(file, page)) return false;
        }
    }
    return true;
}

bool encode(Encoder& e, std::FILE* file, const std::vector<float>& samples, int channels) {
    ogg_packet header, comments, codebooks;
    vorbis_analysis_headerout(&e.dsp, &e.comment, &header, &comments, &codebooks);
    ogg_stream_packetin(&e.stream, &header);
    ogg_stream_packetin(&e.stream, &comments);
    ogg_stream_packetin(&e.stream, &codebooks);
    ogg_page page;
    while (ogg_stream_flush(&e.stream, &page))
        if (!writePage(file, page)) return false;
    const std::size_t frames = samples.size() / static_cast<std::size_t>(channels);
    constexpr std::size_t kChunk = 4096;
    for (std::size_t at = 0; at < frames; at += kChunk) {
        const std::size_t n = std::min(kChunk, frames - at);
        float** buffer = vorbis_analysis_buffer(&e.dsp, static_cast<int>(n));
        for (std::size_t i = 0; i < n; ++i)
            for (int c = 0; c < channels; ++c) buffer[c][i] = samples[(at + i) * channels + c];
        vorbis_analysis_wrote(&e.dsp, static_cast<int>(n));
        if (!drain(e, file)) return false;
    }
    vorbis_analysis_wrote(&e.dsp, 0);
    if (!drain(e, file)) return false;
    while (ogg_stream_flush(&e.stream, &page))
        if (!writePage(file, page)) return false;
    return true;
}
}  // namespace

int OggWriter::serialFor(const std::string& relativeName) {
    std::uint32_t hash = 2166136261u;  // FNV-1a
    for (unsigned char c : relativeName) hash = (hash ^ c) * 16777619u;
    return static_cast<int>(hash & 0x7fffffff);
}

std::string OggWriter::write(const std::string& path, const std::string& relativeName,
                             const std::vector<float>& samples, int channels, long sampleRate, float quality) {
    if (channels < 1 || channels > 2) return "only mono and stereo are supported";
    Encoder e;
    if (vorbis_encode_init_vbr(&e.info, channels, sampleRate, quality) != 0)
        return "the Vorbis encoder refused the settings";
    vorbis_analysis_init(&e.dsp, &e.info);
    vorbis_block_init(&e.dsp, &e.block);
    ogg_stream_init(&e.stream, serialFor(relativeName));
    e.dspReady = true;

    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    const std::string temporary = path + ".tmp";
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(temporary.c_str(), "wb"), &std::fclose);
    if (!file) return "cannot create " + temporary;
    const bool ok = encode(e, file.get(), samples, channels);
    if (std::fclose(file.release()) != 0 || !ok) {
        std::remove(temporary.c_str());
        return "cannot write " + temporary;
    }
    std::filesystem::rename(temporary, path, ec);
    if (ec) return "cannot rename " + temporary + ": " + ec.message();
    return {};
}
