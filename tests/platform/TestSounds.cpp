#include "TestSounds.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace TestSounds {

std::vector<float> sine(int channels, int rate, double hz, float level, std::uint32_t frames) {
    std::vector<float> out(static_cast<std::size_t>(frames) * channels);
    for (std::uint32_t i = 0; i < frames; ++i) {
        const float v = level * static_cast<float>(std::sin(2.0 * std::numbers::pi * hz * i / rate));
        for (int c = 0; c < channels; ++c) out[static_cast<std::size_t>(i) * channels + c] = v;
    }
    return out;
}

namespace {
void appendPage(std::vector<std::uint8_t>& out, const ogg_page& page) {
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}
}  // namespace

std::vector<std::uint8_t> encodeOgg(int channels, int rate, const std::vector<float>& frames) {
    vorbis_info info;
    vorbis_info_init(&info);
    vorbis_encode_init_vbr(&info, channels, rate, 0.6f);
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1);
    std::vector<std::uint8_t> out;
    ogg_packet header, commentHeader, codeHeader;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codeHeader);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &commentHeader);
    ogg_stream_packetin(&stream, &codeHeader);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page)) appendPage(out, page);

    const std::size_t total = frames.size() / channels;
    std::size_t done = 0;
    bool finished = false;
    while (!finished) {
        const std::size_t n = std::min<std::size_t>(1024, total - done);
        if (n == 0) {
            vorbis_analysis_wrote(&dsp, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(n));
            for (std::size_t i = 0; i < n; ++i)
                for (int c = 0; c < channels; ++c) buffer[c][i] = frames[(done + i) * channels + c];
            vorbis_analysis_wrote(&dsp, static_cast<int>(n));
            done += n;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page)) {
                    appendPage(out, page);
                    if (ogg_page_eos(&page)) finished = true;
                }
            }
        }
        if (n == 0 && !finished) {
            while (ogg_stream_flush(&stream, &page)) appendPage(out, page);
            finished = true;
        }
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

float peak(const std::vector<float>& values, std::size_t begin, std::size_t end) {
    float p = 0.0f;
    for (std::size_t i = begin; i < end && i < values.size(); ++i) p = std::max(p, std::fabs(values[i]));
    return p;
}

float rms(const std::vector<float>& values, std::size_t begin, std::size_t end) {
    double sum = 0.0;
    std::size_t n = 0;
    for (std::size_t i = begin; i < end && i < values.size(); ++i, ++n) sum += double(values[i]) * values[i];
    return n ? static_cast<float>(std::sqrt(sum / n)) : 0.0f;
}

}  // namespace TestSounds
