#pragma once
#include <vector>

// Mastering: the last steps before encoding, on interleaved float samples.
// Loudness is a weighted RMS (a high-pass at 120 Hz stands in for the ear's
// weak bass), so that a boomy explosion and a thin whistle of the same
// figure sound about equally loud.
class Mastering {
public:
    // dBFS of the loudest window of `window` seconds (hop window / 6); the
    // whole signal when it is shorter than the window.
    static double loudestWindowDb(const std::vector<float>& samples, int channels, double sampleRate, double window);
    static double peak(const std::vector<float>& samples);
    static void scale(std::vector<float>& samples, double gain);
    // Reduces the gain smoothly around every peak above `ceiling` (linear
    // full-scale fraction) with a short look-ahead; leaves quieter passages
    // untouched. Offline: it sees the whole signal.
    static void limit(std::vector<float>& samples, int channels, double sampleRate, double ceiling);
    // Second-order high-pass in place (rumble and DC removal).
    static void highPass(std::vector<float>& samples, int channels, double sampleRate, double cutoff);
    // Loop seam: mixes the `crossfade` seconds after the end of the loop
    // into its start with equal-power curves, then cuts the buffer to
    // `loopSamples`. The last sample then leads into the first as it led
    // into the sample after it.
    static void crossfadeLoop(std::vector<float>& samples, int channels, std::size_t loopSamples,
                              std::size_t crossfadeSamples);
    // Loop seam for music: adds everything after the loop's end (ringing
    // notes, reverb) onto its start and cuts the buffer to `loopSamples`.
    static void wrapTail(std::vector<float>& samples, int channels, std::size_t loopSamples);
    // Fades the last `seconds` to silence so that a one-shot ends at zero.
    static void fadeOut(std::vector<float>& samples, int channels, double sampleRate, double seconds);
};
