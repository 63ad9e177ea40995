#pragma once
// Sounds the audio tests make for themselves: synthetic signals and Ogg Vorbis files
// encoded from them in memory (libvorbisenc), so no test depends on sound from outside.
#include <cstdint>
#include <vector>

namespace TestSounds {
// `frames` frames of a sine of `hz` at `rate`, amplitude `level`, copied into every one
// of `channels` channels.
std::vector<float> sine(int channels, int rate, double hz, float level, std::uint32_t frames);
// Encodes interleaved frames as Ogg Vorbis (quality 0.6).
std::vector<std::uint8_t> encodeOgg(int channels, int rate, const std::vector<float>& frames);
// Peak absolute value and root mean square over values [begin, end) of `values`.
float peak(const std::vector<float>& values, std::size_t begin, std::size_t end);
float rms(const std::vector<float>& values, std::size_t begin, std::size_t end);
}  // namespace TestSounds
